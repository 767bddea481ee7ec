# Sourced by the Windows scripts: which way the Windows tests go on this
# machine. The module ships as 32-bit code, and where this machine can start
# 32-bit programs it is tested as such, under 32-bit Wine. Some kernels
# cannot start any 32-bit program (Wine's 32-bit loader fails with "Exec
# format error"); there the same sources are built for x86_64 and played
# under 64-bit Wine.
#
#   TENREK_WINE_BITS  32 or 64 to choose the way; by default it is found out
#
# Sets TENREK_WINE_BITS, TENREK_WINDOWS_PRESET (the CMake preset of the build
# that runs under Wine), TENREK_WINDOWS_BUILD (its build folder) and
# TENREK_WINDOWS_WAY (one line that says which way it goes and why).

# Starts a 96-byte i386 Linux program that only exits with status 42 (three
# instructions: mov eax,1; mov ebx,42; int 0x80). Nothing else is needed to
# know whether the kernel runs 32-bit code: no compiler, no 32-bit library.
tenrek_can_run_32bit() {
  local probe status
  mkdir -p build
  probe=$(mktemp build/i386-probe.XXXXXX)
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\273\052\000\000\000\315\200' > "$probe"
  chmod +x "$probe"
  status=0
  "./$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  [ "$status" -eq 42 ]
}

tenrek_choose_windows_way() {
  if [ -z "${TENREK_WINE_BITS:-}" ]; then
    if tenrek_can_run_32bit; then TENREK_WINE_BITS=32; else TENREK_WINE_BITS=64; fi
    local why="found out"
  else
    local why="chosen by TENREK_WINE_BITS"
  fi
  case "$TENREK_WINE_BITS" in
    32)
      TENREK_WINDOWS_PRESET=mingw
      TENREK_WINDOWS_WAY="windows: 32-bit way ($why): the i686 build under 32-bit Wine"
      ;;
    64)
      TENREK_WINDOWS_PRESET=mingw64
      TENREK_WINDOWS_WAY="windows: 64-bit way ($why: this machine cannot start 32-bit programs): the x86_64 build under 64-bit Wine; the i686 Tenrek.mfx is still built, its record layouts checked at compile time and its exports and imports checked"
      ;;
    *)
      echo "windows: TENREK_WINE_BITS must be 32 or 64, not '$TENREK_WINE_BITS'" >&2
      return 1
      ;;
  esac
  TENREK_WINDOWS_BUILD=build/$TENREK_WINDOWS_PRESET
  export TENREK_WINE_BITS
}
