#!/usr/bin/env bash
# Stops the simulator started by the model tests' fixture (by its pid file).
pidfile="$1"
if [ -f "$pidfile" ]; then
  pid=$(cat "$pidfile")
  kill "$pid" 2>/dev/null || true
  rm -f "$pidfile"
fi
exit 0
