#!/bin/sh
# Prints help2man [EXAMPLES] text for the options below that the built tool
# has, so the manual page shows an example of an option from the build that
# brings it, and never one of an option the tool lacks.
#   optional-examples.sh TOVASEL_CLI
set -eu
cli=$1

# An option's line starts with its names; a value, optional ([=LEVEL]) or
# not, may follow.
has() { "$cli" "$1" --help 2>/dev/null | grep -Eq -- "^  $2([ ,[]|\$)"; }

echo '[EXAMPLES]'
if has convert --optimize; then
  cat <<'TEXT'
.TP
.B tovasel\-cli convert intro.flc \-\-optimize
Writes the smallest GIF that still shows every frame in its FLIC colours.
TEXT
fi
if has batch --keep-going; then
  cat <<'TEXT'
.TP
.B tovasel\-cli batch ~/animations \-\-keep\-going
Converts every file it can, reports each failure as it happens and exits 1 at
the end if any failed.
TEXT
fi
