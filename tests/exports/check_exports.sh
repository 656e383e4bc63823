#!/usr/bin/env bash
# Fails unless every library given exports exactly one symbol, REALPluginMain.
# ELF libraries are read with nm -D, Windows DLLs with objdump -p's export table.
set -u
status=0
for library in "$@"; do
  case "$library" in
    *.dll)
      objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)
      exports=$("$objdump" -p "$library" | awk '
        /\[Ordinal\/Name Pointer\] Table/ {in_table = 1; next}
        in_table && NF == 0 {in_table = 0}
        in_table {print $NF}')
      ;;
    *)
      exports=$(nm -D --defined-only "$library" | awk '{print $NF}')
      ;;
  esac
  if [ "$exports" = "REALPluginMain" ]; then
    echo "ok: $library exports only REALPluginMain"
  else
    echo "FAIL: $library exports:"; echo "${exports:-(nothing)}" | sed 's/^/  /'
    status=1
  fi
done
exit $status
