# Installs what building and testing need on a fresh Debian machine; sourced by demo and test.
# Packages already present are not installed again.
# vantorine_install_deps [apt-get option...] [package...]: what every build needs, and these packages.
vantorine_install_deps() {
  local options=()
  while [[ "${1:-}" == -* ]]; do options+=("$1"); shift; done
  local wanted=(g++ cmake make pkg-config libx11-dev libxext-dev libxinerama-dev libxpm-dev libxmu-dev
    libjack-jackd2-dev libtomlplusplus-dev lv2-dev libserd-dev libxml2-dev dpf-source "$@")
  local missing=()
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  # jackd2 asks whether to allow real-time priority; the answer is not needed to build or test.
  echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

# vantorine_build <build dir> [cmake options...]
vantorine_build() {
  local dir="$1"; shift
  cmake -S "$VANTORINE_ROOT" -B "$VANTORINE_ROOT/$dir" "$@" >/dev/null
  cmake --build "$VANTORINE_ROOT/$dir" -j2
}
