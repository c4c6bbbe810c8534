#!/bin/sh
# The real program, asked from outside to end (SIGTERM) once its main window is shown, closes
# the window, lets its event loop return and exits with status 0.
program=$1
log=$(mktemp)
trap 'rm -f "$log"' EXIT
QT_LOGGING_RULES="tessaro.startup=true" "$program" 2>"$log" &
pid=$!
waited=0
until grep -q "17 main frame shown" "$log"; do
    if ! kill -0 "$pid" 2>/dev/null || [ "$waited" -ge 300 ]; then
        echo "the main window was never shown"; cat "$log"; kill -KILL "$pid" 2>/dev/null; exit 1
    fi
    waited=$((waited + 1))
    sleep 0.1
done
kill -TERM "$pid"
waited=0
while kill -0 "$pid" 2>/dev/null; do
    if [ "$waited" -ge 100 ]; then
        echo "still running 10 s after the request"; cat "$log"; kill -KILL "$pid"; exit 1
    fi
    waited=$((waited + 1))
    sleep 0.1
done
wait "$pid"
status=$?
grep -q "18 event loop returned" "$log" || { echo "the event loop did not return"; cat "$log"; exit 1; }
cat "$log"
echo "exit status $status"
exit "$status"
