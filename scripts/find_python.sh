# Sourced by the scripts that need an interpreter of one exact version.
# exact_python X.Y prints the path of a CPython X.Y (on PATH or pyenv's), or
# returns 1 without a word: the caller says what to do about it.
exact_python() {
  local want=$1 cand exe
  for cand in "python$want" /root/.pyenv/versions/"$want".*/bin/python3 "$HOME"/.pyenv/versions/"$want".*/bin/python3; do
    exe=$(command -v "$cand" 2>/dev/null) || continue
    if [ "$("$exe" -c 'import sys; print("%d.%d" % sys.version_info[:2])' 2>/dev/null)" = "$want" ]; then
      echo "$exe"
      return 0
    fi
  done
  return 1
}
