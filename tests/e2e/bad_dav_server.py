"""A WebDAV server on 127.0.0.1 that answers every PROPFIND with one kind of damaged multistatus,
for the tests of the program's XML reading. Usage: bad_dav_server.py MODE PORTFILE
MODE: cut (ends in the middle), dtd (an entity bomb in a DTD), broken (not well-formed),
huge (a valid body over 64 MB), slow (answers 503 after 6 seconds; every method).
Writes its port to PORTFILE once it listens.
bad_dav_server.py gate PORTFILE UPSTREAM GATEFILE: a server that hangs: every request waits without
an answer while GATEFILE exists, then goes to UPSTREAM (a real server) as it came. PORTFILE.log
gets "waits METHOD PATH" when a request starts to wait, "answered METHOD PATH STATUS" when it is answered."""
import http.client
import http.server
import os
import urllib.parse
import socketserver
import sys
import time

MODE = sys.argv[1]
GOOD = ('<?xml version="1.0" encoding="utf-8"?>\n<d:multistatus xmlns:d="DAV:" '
        'xmlns:c="urn:ietf:params:xml:ns:carddav"><d:response><d:href>/book/</d:href><d:propstat><d:prop>'
        '<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype><d:displayname>%s</d:displayname>'
        '</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>\n')
BOMB = ('<?xml version="1.0"?>\n<!DOCTYPE d:multistatus [<!ENTITY a "aaaaaaaaaa">'
        + ''.join('<!ENTITY %s "%s">' % (chr(98 + i), ('&%s;' % chr(97 + i)) * 10) for i in range(8))
        + ']>\n' + GOOD.split('\n', 1)[1] % '&i;')


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'

    def log_message(self, *args):
        pass

    def note(self, text):
        with open(sys.argv[2] + '.log', 'a') as log:
            log.write(text + '\n')

    def forward(self, body):
        if os.path.exists(sys.argv[4]):
            self.note('waits %s %s' % (self.command, self.path))
            while os.path.exists(sys.argv[4]):
                time.sleep(0.1)
        upstream = urllib.parse.urlsplit(sys.argv[3])
        connection = http.client.HTTPConnection(upstream.hostname, upstream.port, timeout=60)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in ('host', 'connection')}
        connection.request(self.command, self.path, body=body, headers=headers)
        answer = connection.getresponse()
        data = answer.read()
        connection.close()
        self.send_response(answer.status)
        for k, v in answer.getheaders():
            if k.lower() not in ('content-length', 'transfer-encoding', 'connection', 'date', 'server'):
                self.send_header(k, v)
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)
        self.note('answered %s %s %d' % (self.command, self.path, answer.status))

    def do_PROPFIND(self):
        body = self.rfile.read(int(self.headers.get('Content-Length', 0)))
        if MODE == 'gate':
            return self.forward(body)
        if MODE == 'slow':
            time.sleep(6)
            self.send_response(503)
            self.send_header('Content-Length', '0')
            self.end_headers()
            return
        if MODE == 'huge':
            filler = '<!-- ' + 'x' * (1 << 20) + ' -->'
            chunks = [GOOD % 'Huge' for _ in range(1)] + [filler] * 65
            body = ''.join(chunks).encode()
        elif MODE == 'cut':
            body = (GOOD % 'Cut').encode()[:180]
        elif MODE == 'dtd':
            body = BOMB.encode()
        else:
            body = (GOOD % 'Broken').replace('</d:displayname>', '</d:display>').encode()
        self.send_response(207)
        self.send_header('Content-Type', 'application/xml; charset=utf-8')
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)


    do_REPORT = do_GET = do_PUT = do_DELETE = do_MKCOL = do_PROPFIND


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(('127.0.0.1', 0), Handler)
with open(sys.argv[2], 'w') as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
