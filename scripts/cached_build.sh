# Shared by the scripts that build something from Debian's source packages once and keep it in a cache
# folder outside the repository (scripts/wxmsw.sh, scripts/sqlite-mingw.sh). Sourced, not run; the
# sourcing script sets `cached_build_name` (its messages' prefix) first.
#
# cache_lock NAME WHAT      takes the cache's lock NAME.lock, waiting (and saying so) while another run
#                           is making WHAT
# cache_use_or_start PREFIX prints PREFIX and exits when it is complete; otherwise makes the work folder
#                           ($work, removed on exit) and its log ($log), and removes an unfinished PREFIX
# step NAME COMMAND...      runs one step, saying how long it took; on failure shows the log's end, exits
# add_deb_src               adds a deb-src entry for the running Debian suite when there is none
# remove_older PREFIX GLOB  removes the cache's folders matching GLOB except PREFIX

cache="${QUILLARY_CACHE:-/var/cache/quillary}"
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

say() { printf '%s: %s\n' "$cached_build_name" "$*" >&2; }

cache_lock() {
    $sudo_cmd mkdir -p "$cache"
    [ -w "$cache" ] || $sudo_cmd chown "$(id -u):$(id -g)" "$cache"
    exec 9>"$cache/$1.lock"
    if ! flock -n 9; then
        say "another run is making $2; waiting for it"
        flock 9
    fi
}

cache_use_or_start() {
    if [ -f "$1/.complete" ]; then
        say "cached in $1"
        echo "$1"
        exit 0
    fi
    work=$(mktemp -d "$cache/build-$cached_build_name.XXXXXX")
    log="$work/build.log"
    trap 'rm -rf "$work"' EXIT
    rm -rf "$1"
}

# (A step runs where "set -e" does not apply: each one chains its commands with &&.)
step() {
    local name=$1 start=$SECONDS
    shift
    say "$name ..."
    if ! "$@" >>"$log" 2>&1; then
        say "$name failed after $((SECONDS - start)) s; the last lines of $log:"
        tail -n 40 "$log" >&2
        exit 1
    fi
    say "$name: $((SECONDS - start)) s"
}

add_deb_src() {
    local suite
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if ! apt-get indextargets --format '$(IDENTIFIER) $(RELEASE)' | grep -qx "Sources $suite"; then
        local uri
        uri=$(apt-get indextargets --format '$(RELEASE) $(SITE)' | awk -v s="$suite" '$1 == s { print $2; exit }')
        printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: %s\n' \
            "${uri:-http://deb.debian.org/debian}" "$suite" "$suite" \
            /usr/share/keyrings/debian-archive-keyring.gpg |
            $sudo_cmd tee /etc/apt/sources.list.d/quillary-deb-src.sources >/dev/null
        $sudo_cmd apt-get update -qq || return 1
    fi
}

remove_older() {
    local old
    for old in "$cache"/$2; do
        [ "$old" = "$1" ] || [ ! -d "$old" ] || rm -rf "$old"
    done
}
