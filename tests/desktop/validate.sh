#!/usr/bin/env bash
# The desktop entry and the AppStream description pass their validators.
source "$(dirname "$0")/common.sh"
packaging="$1/packaging"
metainfo=$2 # as the build made it
need desktop-file-validate appstreamcli

desktop-file-validate "$packaging/morvel2.desktop"
desktop-file-validate "$packaging/morvel2-classe.desktop"
# The program has no domain of its own to build a reverse-DNS id from; its
# id stays the name of its desktop entry and command, morvel2.
overrides=(cid-desktopapp-is-not-rdns=info)
# A build told no public address (MORVEL2_HOMEPAGE) has no homepage to name;
# AppStream 1.0 warns of that, 0.16 does not know the warning at all.
major=0
[[ $(appstreamcli --version) =~ ([0-9]+)\.[0-9]+ ]] && major=${BASH_REMATCH[1]}
if ! grep -q '<url type="homepage">' "$metainfo" && [[ $major -ge 1 ]]; then
    overrides+=(url-homepage-missing=info)
fi
# One option, the overrides joined by commas: AppStream 1.0 keeps only the
# last of several.
appstreamcli validate --no-net --override="$(IFS=,; echo "${overrides[*]}")" "$metainfo"
grep -qx 'Categories=Education;Languages;' "$packaging/morvel2.desktop" || fail "not under Education"
grep -qx 'Categories=Education;Languages;' "$packaging/morvel2-classe.desktop" || fail "the class's results not under Education"
grep -qx 'Name=morvel2 – résultats de la classe' "$packaging/morvel2-classe.desktop" || fail "the class's results misnamed"
echo "desktop entry and metainfo: valid"
