#!/bin/sh
# gl-wraps.sh PROGRAM STUBS.S LINK-OPTIONS
# Writes a counting stub for every GL function PROGRAM imports (gl_count.h)
# and the linker options that send the calls to them.
set -eu
names=$(nm -D --undefined-only "$1" | awk '{print $NF}' | sed 's/@.*//' | grep -E '^gl[A-Z]' | sort -u)
{
  echo '// Written by gl-wraps.sh: one counting stub per GL function of the program.'
  echo '        .text'
  for n in $names; do
    printf '        .globl __wrap_%s\n__wrap_%s:\n        incq gl_call_count(%%rip)\n        jmp __real_%s@PLT\n' "$n" "$n" "$n"
  done
  echo '        .section .note.GNU-stack,"",@progbits'
} > "$2.tmp"
mv "$2.tmp" "$2"
for n in $names; do echo "-Wl,--wrap=$n"; done > "$3.tmp"
mv "$3.tmp" "$3"
