# Debian 12 roots of our own, made with mmdebstrap from the mirrors the host's
# apt sources name (sourced by the scripts that make them). A suite goes in
# only when its indexes verify for every architecture the root needs: a
# mirror caught mid-sync, or one that serves a stale index for good, leaves
# that suite out instead of breaking the root.

roots_suites=(bookworm bookworm-updates bookworm-security)

# suite_uri SUITE: the mirror the host's apt sources give for SUITE.
suite_uri() {
  apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 'Identifier: Packages' 2> /dev/null |
    awk -v suite="$1" '$1 == suite { print $2; exit }'
}

# index_verifies URI SUITE ARCH: whether SUITE's main index for ARCH
# downloads and matches its signed Release file. Probed in a scratch folder:
# the host's own lists stay as they are.
index_verifies() {
  local scratch code=0
  scratch=$(mktemp -d)
  mkdir -p "$scratch/lists/partial" "$scratch/cache/archives/partial"
  echo "deb [arch=$3] $1 $2 main" > "$scratch/sources.list"
  apt-get -qq -o Dir::Etc::SourceList="$scratch/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
    -o Dir::State::Lists="$scratch/lists" -o Dir::Cache="$scratch/cache" -o APT::Sandbox::User=root \
    -o APT::Architectures::="$3" update > "$scratch/log" 2>&1 || code=$?
  rm -rf "$scratch"
  return "$code"
}

# root_sources ARCHS: the sources lines of the suites whose indexes verify for
# every architecture in ARCHS (comma-separated); says which it leaves out.
root_sources() {
  local suite uri arch verified
  for suite in "${roots_suites[@]}"; do
    uri=$(suite_uri "$suite")
    if [ -z "$uri" ]; then
      echo "roots: the host's apt sources name no $suite; it is left out" >&2
      continue
    fi
    verified=1
    for arch in ${1//,/ }; do
      if ! index_verifies "$uri" "$suite" "$arch"; then
        echo "roots: $suite's $arch index at $uri does not verify; the root is made without $suite" >&2
        verified=
        break
      fi
    done
    [ -n "$verified" ] && echo "deb $uri $suite main"
  done
  return 0
}

# The host's settings for reaching its mirrors (a snapshot mirror's old
# Release dates, a proxy), as mmdebstrap options: apt in the root needs them.
host_apt_options() {
  apt-config dump | grep -E '^Acquire::(Check-Valid-Until|Check-Date|https?::Proxy|Retries) ' |
    sed 's/;$//; s/^/--aptopt=/'
}

# make_root DIR VARIANT ARCHS LOG SOURCES [PACKAGE...]: a new root in DIR
# (which must not exist) from SOURCES (root_sources' lines); mmdebstrap's
# output goes to LOG, whose tail is shown if it fails.
make_root() {
  local dir=$1 variant=$2 archs=$3 log=$4 sources=$5 include
  shift 5
  include=$(IFS=,; echo "$*")
  local options=(--variant="$variant" --architectures="$archs" --mode=root)
  mapfile -t -O ${#options[@]} options < <(host_apt_options)
  [ -n "$include" ] && options+=(--include="$include")
  if ! mmdebstrap "${options[@]}" bookworm "$dir" - <<< "$sources" > "$log" 2>&1; then
    echo "roots: mmdebstrap failed; the end of $log:" >&2
    tail -n 25 "$log" >&2
    return 1
  fi
}
