# Sourced by the scripts that need an X display. start_private_xvfb NAME starts an Xvfb of this run's
# own, exports DISPLAY for it and stops it when the script exits. -noreset: by default the server resets
# whenever its last client leaves, and a client that connects during the reset cannot open the display.
start_private_xvfb() {
  local name="$1"
  if ! command -v Xvfb >/dev/null; then
    echo "$name: DISPLAY is not set and Xvfb is missing (tools/setup-deps.sh installs it)" >&2
    return 1
  fi
  _xvfb_display_file=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp -noreset 5>"$_xvfb_display_file" 2>/dev/null &
  _xvfb_pid=$!
  trap 'kill $_xvfb_pid 2>/dev/null; rm -f "$_xvfb_display_file"' EXIT
  # Xvfb writes its display number once it accepts connections.
  for _ in $(seq 300); do grep -q . "$_xvfb_display_file" && break; sleep 0.1; done
  if ! grep -q . "$_xvfb_display_file"; then
    echo "$name: Xvfb did not start within 30 s" >&2
    return 1
  fi
  export DISPLAY=":$(head -n 1 "$_xvfb_display_file")"
}
