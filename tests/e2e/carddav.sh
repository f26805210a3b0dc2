# Sourced by the sync tests: Radicale (Basic authentication from an htpasswd file) and Xandikos
# (no authentication) on 127.0.0.1, each with a private folder, stopped when the test ends; and
# curl as "the phone" that changes cards on the server between syncs.
CARDDAV_USER=ann
CARDDAV_PASSWORD='s3cret pass'
CARDDAV_PIDS=()

stop_carddav() {
  local pid
  for pid in "${CARDDAV_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${CARDDAV_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  CARDDAV_PIDS=()
}

# A free TCP port on 127.0.0.1.
free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

# Waits (at most 30 s) until URL answers anything over HTTP(S). Usage: wait_answers URL [CURLARGS]
wait_answers() {
  local url=$1 i; shift
  for ((i = 0; i < 150; i++)); do
    if curl -s -o /dev/null --max-time 2 "$@" "$url"; then return 0; fi
    sleep 0.2
  done
  fail "the server at $url did not answer within 30 seconds"
}

# Starts Radicale in DIR on a free port; sets RADICALE_URL (the server's root) and RADICALE_BOOK
# (an address book made for the user, named "Contacts"). With "tls CERT KEY" it serves HTTPS.
# Usage: start_radicale DIR [tls CERT KEY]
start_radicale() {
  local dir=$1 scheme=http ssl=False cert="" key=""
  if [ "${2:-}" = tls ]; then scheme=https ssl=True cert=$3 key=$4; fi
  mkdir -p "$dir/collections"
  printf '%s:%s\n' "$CARDDAV_USER" "$CARDDAV_PASSWORD" > "$dir/users"
  RADICALE_PORT=$(free_port)
  cat > "$dir/config" <<CONF
[server]
hosts = 127.0.0.1:$RADICALE_PORT
ssl = $ssl
certificate = $cert
key = $key
[auth]
type = htpasswd
htpasswd_filename = $dir/users
htpasswd_encryption = plain
[storage]
filesystem_folder = $dir/collections
[rights]
type = owner_only
[logging]
level = warning
CONF
  radicale --config "$dir/config" >"$dir/log" 2>&1 &
  CARDDAV_PIDS+=($!)
  RADICALE_URL=$scheme://127.0.0.1:$RADICALE_PORT
  wait_answers "$RADICALE_URL/" -k
  RADICALE_BOOK=$RADICALE_URL/$CARDDAV_USER/contacts/
  local status
  status=$(curl -sk -o /dev/null -w '%{http_code}' -u "$CARDDAV_USER:$CARDDAV_PASSWORD" -X MKCOL \
    -H 'Content-Type: application/xml' --data-binary @- "$RADICALE_BOOK" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop>
<resourcetype><collection/><C:addressbook/></resourcetype><displayname>Contacts</displayname>
</prop></set></mkcol>
XML
  )
  [ "$status" = 201 ] || fail "Radicale did not make the address book $RADICALE_BOOK (HTTP $status; $(cat "$dir/log"))"
}

# Starts Xandikos in DIR on a free port with its default address book; sets XANDIKOS_URL and
# XANDIKOS_BOOK.
start_xandikos() {
  local dir=$1
  mkdir -p "$dir/data"
  XANDIKOS_PORT=$(free_port)
  xandikos --defaults -d "$dir/data" -p "$XANDIKOS_PORT" -l 127.0.0.1 >"$dir/log" 2>&1 &
  CARDDAV_PIDS+=($!)
  XANDIKOS_URL=http://127.0.0.1:$XANDIKOS_PORT
  wait_answers "$XANDIKOS_URL/"
  XANDIKOS_BOOK=$XANDIKOS_URL/user/contacts/addressbook/
}

# "The phone": puts, reads and deletes cards. Usage: phone_put BOOKURL NAME.vcf CARDFILE [CURLARGS]
phone_put() {
  local book=$1 name=$2 card=$3; shift 3
  local status
  status=$(curl -s -o /dev/null -w '%{http_code}' "$@" -X PUT -H 'Content-Type: text/vcard; charset=utf-8' \
    --data-binary @"$card" "$book$name")
  case $status in 201|204) ;; *) fail "the phone could not put $name (HTTP $status)" ;; esac
}
phone_get() { local book=$1 name=$2; shift 2; curl -sf "$@" "$book$name"; }
phone_delete() {
  local book=$1 name=$2; shift 2
  curl -s -o /dev/null -w '%{http_code}' "$@" -X DELETE "$book$name" | grep -qE '^(200|204)$' ||
    fail "the phone could not delete $name"
}
# The cards' hrefs of an address book, one a line (Depth 1 PROPFIND).
phone_list() {
  local book=$1; shift
  curl -s "$@" -X PROPFIND -H 'Depth: 1' -H 'Content-Type: application/xml' \
    --data '<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>' "$book" |
    grep -o '<[^>]*href>[^<]*\.vcf</[^>]*href>' | sed 's/<[^>]*>//g' || true
}

# Test certificates in DIR: a certificate authority (ca.pem, ca.der), a server certificate for
# 127.0.0.1 it signed (server.pem, server.key), and one for 127.0.0.1 signed by an authority the
# system does not know (untrusted.pem, untrusted.key).
# Each authority's name is new: the store keeps those of earlier runs, and a chain is built by names.
make_test_certificates() {
  local dir=$1 run
  run=$(date +%s)-$$-$RANDOM
  mkdir -p "$dir"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=kalbook test authority $run" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
  openssl x509 -in "$dir/ca.pem" -outform der -out "$dir/ca.der"
  openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
  printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' > "$dir/server.ext"
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" -CAcreateserial -days 2 \
    -extfile "$dir/server.ext" -out "$dir/server.pem" 2>/dev/null
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=nobody's authority $run" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/other-ca.key" -out "$dir/other-ca.pem" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" -keyout "$dir/untrusted.key" -out "$dir/untrusted.csr" 2>/dev/null
  openssl x509 -req -in "$dir/untrusted.csr" -CA "$dir/other-ca.pem" -CAkey "$dir/other-ca.key" -CAcreateserial \
    -days 2 -extfile "$dir/server.ext" -out "$dir/untrusted.pem" 2>/dev/null
  [ -s "$dir/server.pem" ] && [ -s "$dir/untrusted.pem" ] || fail "openssl made no test certificates"
}
