# Sourced by the benchmark scripts: `work`, a fresh folder removed at exit, and
# `serve_folder DIR`, which serves DIR with python3 -m http.server on 127.0.0.1 at a free port,
# sets `base_url` ("http://127.0.0.1:PORT/") and returns once the server answers.
work=$(mktemp -d)
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

serve_folder() {
    local port
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    python3 -m http.server --bind 127.0.0.1 --directory "$1" "$port" >/dev/null 2>&1 &
    server_pid=$!
    base_url=http://127.0.0.1:$port/
    for _ in $(seq 50); do
        curl -s -o /dev/null "$base_url" && return 0
        sleep 0.1
    done
}
