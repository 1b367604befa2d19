#!/usr/bin/env bash
# Regenerates the vCard and LDIF files of other programs in tests/fixtures/vcard
# and tests/fixtures/ldif with the real programs from Debian packages:
#   python-vobject (vCard 3.0) and python-ldap (LDIF)  scripts/fixtures/python_fixtures.py
#   ez-vcard (vCard 4.0 and 2.1)                        scripts/fixtures/EzVcardFixtures.java
#   KDE KContacts (vCard 3.0 and LDIF)                  scripts/fixtures/kcontacts_fixtures.cpp
# All write the same contact. The hand-made phone cards and the Thunderbird-style
# LDIF file beside them are not touched (tests/fixtures/README.md).
# Needs root for the packages. With --kcontacts-only the KContacts helper is
# only built, into build-peers/, for the interoperability test to use.
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(python3-vobject python3-ldap libez-vcard-java libvinnie-java openjdk-17-jdk-headless
          libkf5contacts-dev qtbase5-dev g++ pkg-config)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

out=build-peers
mkdir -p "$out"
g++ -std=c++17 -fPIC -Wno-deprecated-declarations -o "$out/kcontacts_fixtures" scripts/fixtures/kcontacts_fixtures.cpp \
  $(pkg-config --cflags --libs Qt5Core Qt5Gui) -I/usr/include/KF5/KContacts -lKF5Contacts
[ "${1:-}" = --kcontacts-only ] && exit 0

vcard=tests/fixtures/vcard ldif=tests/fixtures/ldif
/usr/bin/python3 scripts/fixtures/python_fixtures.py "$vcard/vobject-3.0.vcf" "$ldif/python-ldap.ldif"

jars=/usr/share/java/ez-vcard.jar:/usr/share/java/vinnie.jar
javac -d "$out" -cp "$jars" scripts/fixtures/EzVcardFixtures.java
java -cp "$jars:$out" EzVcardFixtures "$vcard/ez-vcard-4.0.vcf" "$vcard/ez-vcard-2.1.vcf"

"$out/kcontacts_fixtures" "$vcard/kcontacts-3.0.vcf" "$ldif/kcontacts.ldif"
echo "make-fixtures.sh: fixtures written to $vcard and $ldif"
