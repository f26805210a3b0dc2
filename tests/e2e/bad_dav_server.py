"""A WebDAV server on 127.0.0.1 that answers every PROPFIND with one kind of damaged multistatus,
for the tests of the program's XML reading. Usage: bad_dav_server.py MODE PORTFILE
MODE: cut (ends in the middle), dtd (an entity bomb in a DTD), broken (not well-formed),
huge (a valid body over 64 MB), slow (answers 503 after 6 seconds; every method). Writes its port to PORTFILE once it listens."""
import http.server
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

    def do_PROPFIND(self):
        self.rfile.read(int(self.headers.get('Content-Length', 0)))
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


    do_REPORT = do_GET = do_PUT = do_DELETE = do_PROPFIND


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


server = Server(('127.0.0.1', 0), Handler)
with open(sys.argv[2], 'w') as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
