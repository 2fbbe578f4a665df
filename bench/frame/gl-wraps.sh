#!/bin/sh
# gl-wraps.sh PROGRAM STUBS.S LINK-OPTIONS
# Writes a counting stub for every GL function PROGRAM imports (gl_count.h),
# the table of their names and counters, and the linker options that send
# the calls to them.
set -eu
names=$(nm -D --undefined-only "$1" | awk '{print $NF}' | sed 's/@.*//' | grep -E '^gl[A-Z]' | sort -u)
n=$(echo "$names" | wc -w)
{
  echo '// Written by gl-wraps.sh: one counting stub per GL function of the program.'
  echo '        .text'
  i=0
  for f in $names; do
    printf '        .globl __wrap_%s\n__wrap_%s:\n' "$f" "$f"
    printf '        incq gl_call_count(%%rip)\n        incq (gl_wrapped_calls + 8 * %d)(%%rip)\n' "$i"
    printf '        jmp __real_%s@PLT\n' "$f"
    i=$((i + 1))
  done
  echo '        .section .rodata'
  i=0
  for f in $names; do printf 'gl_wrapped_name_%d: .asciz "%s"\n' "$i" "$f"; i=$((i + 1)); done
  echo '        .data'
  echo '        .p2align 3'
  printf '        .globl gl_wrapped_count\ngl_wrapped_count: .quad %d\n' "$n"
  printf '        .globl gl_wrapped_calls\ngl_wrapped_calls: .zero %d\n' $((8 * n))
  echo '        .globl gl_wrapped_names'
  echo 'gl_wrapped_names:'
  i=0
  for f in $names; do printf '        .quad gl_wrapped_name_%d\n' "$i"; i=$((i + 1)); done
  echo '        .section .note.GNU-stack,"",@progbits'
} > "$2.tmp"
mv "$2.tmp" "$2"
for f in $names; do echo "-Wl,--wrap=$f"; done > "$3.tmp"
mv "$3.tmp" "$3"
