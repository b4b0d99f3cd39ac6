# Debian's archive for the builds, through an apt of the build's own: the
# same archive and suites as the machine's own sources, every file checked
# against the archive's signed index, with lists, cache and dpkg status under
# the build tree. The machine's apt and dpkg configuration stay as they are.
# shellcheck shell=bash

# The machine's keyring of Debian's archive, which signs its indexes.
ARCHIVE_KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg

# The machine's Debian suites of main, one "URI SUITE" line each.
archive_suites() {
    # The format's $(...) are apt's fields, not the shell's.
    # shellcheck disable=SC2016
    apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' 'Origin: Debian' 'Component: main' |
        sort -u
}

# archive_setup DIR ARCH TYPE [STATUS]: writes DIR/apt.conf and its sources
# list for ARCH's packages (TYPE deb) or the sources (deb-src). apt resolves
# against the dpkg status file STATUS: by default an empty one, so that
# every dependency is fetched.
archive_setup() {
    local dir=$1 arch=$2 type=$3 status=${4:-$1/status} signed="" uri suite
    [ ! -f "$ARCHIVE_KEYRING" ] || signed="[signed-by=$ARCHIVE_KEYRING] "
    mkdir -p "$dir/lists/partial" "$dir/cache/archives/partial"
    [ -n "${4:-}" ] || : >"$status"
    archive_suites | while read -r uri suite; do
        echo "$type $signed$uri $suite main"
    done >"$dir/sources.list"
    [ -s "$dir/sources.list" ] || { echo "no Debian main archive in the machine's apt sources" >&2; return 1; }
    cat >"$dir/apt.conf" <<EOF
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
APT::Install-Recommends "false";
APT::Sandbox::User "$(id -un)";
Dir::Etc::sourcelist "$dir/sources.list";
Dir::Etc::sourceparts "-";
Dir::State "$dir";
Dir::State::Lists "$dir/lists";
Dir::State::status "$status";
Dir::Cache "$dir/cache";
EOF
}

# archive DIR ARGS...: apt-get ARGS with the configuration archive_setup wrote.
archive() {
    local dir=$1
    shift
    APT_CONFIG="$dir/apt.conf" apt-get -q "$@"
}

# archive_update DIR: apt-get update. A suite whose index does not match its
# signed Release file (a mirror caught in the middle of a sync, or a cache
# holding two moments of it) is left out, with a warning, after a second try:
# the other suites are still checked, and a build goes on without that
# suite's updates instead of failing on the mirror.
archive_update() {
    local dir=$1 said try failed uri suite
    said=$(mktemp)
    for try in 1 2 3; do
        if archive "$dir" update >"$said" 2>&1; then
            rm -f "$said"
            return 0
        fi
        failed=$(sed -n 's#^E: Failed to fetch \(.*\)/dists/\([^/]*\)/.*#\1 \2#p' "$said" | sort -u)
        if [ -z "$failed" ] || [ "$try" -eq 3 ]; then
            cat "$said" >&2
            break
        fi
        [ "$try" -eq 1 ] && { sleep 10; continue; }
        while read -r uri suite; do
            echo "warning: the archive's $suite index at $uri does not match its Release file; going on without $suite" >&2
            awk -v uri="$uri" -v suite="$suite" '{ u = $(NF - 2); sub(/\/$/, "", u) } u != uri || $(NF - 1) != suite' \
                "$dir/sources.list" >"$dir/sources.list.new"
            mv "$dir/sources.list.new" "$dir/sources.list"
        done <<<"$failed"
    done
    rm -f "$said"
    return 1
}
