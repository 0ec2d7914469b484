#!/bin/sh
# Debian's package checker on a .deb: every tag shown, down to the
# informational and pedantic ones; any error or warning fails.
# Usage: lintian-check.sh PACKAGE.deb
set -eu
exec lintian --fail-on error,warning --display-info --pedantic --display-experimental \
  --tag-display-limit 0 "$1"
