#!/usr/bin/env bash
# The desktop entry and the AppStream description pass their validators.
source "$(dirname "$0")/common.sh"
packaging="$1/packaging"
need desktop-file-validate appstreamcli

desktop-file-validate "$packaging/morvel2.desktop"
# The program has no domain of its own to build a reverse-DNS id from; its
# id stays the name of its desktop entry and command, morvel2.
appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info "$packaging/morvel2.metainfo.xml"
grep -qx 'Categories=Education;Languages;' "$packaging/morvel2.desktop" || fail "not under Education"
echo "desktop entry and metainfo: valid"
