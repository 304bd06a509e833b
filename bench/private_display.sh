# Sourced by the bench scripts: a private X server and private settings, runtime and config
# folders under "$work", so nothing of the user's is seen or touched. Sets xpid for clean-up.
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
sleep 1
export DISPLAY="$display"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
