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

# archive_update DIR: apt-get update, tried again twice: a mirror in the
# middle of a sync serves an index that its Release file does not match yet.
archive_update() {
    local try
    for try in 1 2 3; do
        run_logged archive "$1" update && return 0
        [ "$try" -eq 3 ] || { echo "apt-get update failed; trying again" >&2; sleep $((try * 10)); }
    done
    return 1
}
