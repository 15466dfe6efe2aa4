"""The machine's apt sources as scripts/debian/apt_deb_src.py turns them into entries for a chroot of one release and
for source downloads: only the suites of that release, from the addresses apt has indices of, with the
options (keyring) kept and the architecture dropped, whether written as one-line or deb822 sources."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "debian"))
import apt_deb_src  # noqa: E402

MIRROR, SECURITY, OTHER = "http://mirror.school.example/debian", "http://mirror.school.example/security", \
    "https://vendor.example/apt"

ONE_LINE = f"""
deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] {MIRROR}/ bookworm main contrib
deb {MIRROR} bookworm-updates main  # a comment
deb-src {MIRROR} bookworm main
deb {SECURITY} bookworm-security main
deb {OTHER} bookworm main
deb {MIRROR} trixie main
"""

DEB822 = f"""Types: deb deb-src
URIs: {MIRROR}
Suites: bookworm bookworm-updates bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
Architectures: amd64

Types: deb
URIs: {SECURITY}
Suites: bookworm-security
Components: main
Enabled: no
"""

# What apt-cache policy lists as package indices: the vendor's suite shares the code name, but apt has no
# index of it from this machine (it stands for a source that is switched off or failed to update).
INDICES = [(MIRROR, "bookworm"), (MIRROR, "bookworm-updates"), (SECURITY, "bookworm-security"),
           (MIRROR, "trixie"), (MIRROR, "bookworm-backports")]


def chroot_entries(text, deb822):
    entries = list(apt_deb_src.deb822_entries(text) if deb822 else apt_deb_src.one_line_entries(text))
    pairs = apt_deb_src.release_suites(INDICES, "bookworm")
    return apt_deb_src.select(entries, "deb", lambda uri, suite: (uri, suite) in pairs)


class AptSourcesTest(unittest.TestCase):
    def test_release_suites_are_the_code_name_and_its_own(self):
        self.assertEqual(apt_deb_src.release_suites(INDICES + [(MIRROR, "bookwormish")], "bookworm"),
                         {(MIRROR, "bookworm"), (MIRROR, "bookworm-updates"), (SECURITY, "bookworm-security"),
                          (MIRROR, "bookworm-backports")})

    def test_one_line_sources_give_the_release_only(self):
        self.assertEqual(chroot_entries(ONE_LINE, deb822=False), [
            f"Types: deb\nURIs: {MIRROR}/\nSuites: bookworm\nComponents: main contrib\n"
            "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg",
            f"Types: deb\nURIs: {MIRROR}\nSuites: bookworm-updates\nComponents: main",
            f"Types: deb\nURIs: {SECURITY}\nSuites: bookworm-security\nComponents: main",
        ])

    def test_deb822_sources_keep_their_keyring_and_skip_what_is_switched_off(self):
        self.assertEqual(chroot_entries(DEB822, deb822=True), [
            f"Types: deb\nURIs: {MIRROR}\nSuites: bookworm bookworm-updates bookworm-backports\n"
            "Components: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg",
        ])

    def test_source_downloads_keep_every_suite_of_an_address_that_serves_the_package(self):
        entries = apt_deb_src.one_line_entries(ONE_LINE)
        stanzas = apt_deb_src.select(entries, "deb-src", lambda uri, suite: uri == SECURITY)
        self.assertEqual(stanzas, [f"Types: deb-src\nURIs: {SECURITY}\nSuites: bookworm-security\nComponents: main"])

    def test_a_release_without_sources_comes_from_the_addresses_of_the_machines_own(self):
        host = apt_deb_src.release_suites(INDICES, "bookworm")
        renamed = {codename: [apt_deb_src.stanza(e, "deb", e["URIs"], e["Suites"]) for e in
                              apt_deb_src.renamed_release(apt_deb_src.one_line_entries(ONE_LINE), host, "bookworm", codename)]
                   for codename in ("trixie", "sid")}
        keyring = "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
        self.assertEqual(renamed["trixie"], [
            f"Types: deb\nURIs: {MIRROR}/\nSuites: trixie\nComponents: main contrib\n{keyring}",
            f"Types: deb\nURIs: {MIRROR}\nSuites: trixie-updates\nComponents: main",
            f"Types: deb\nURIs: {SECURITY}\nSuites: trixie-security\nComponents: main",
        ])
        # Unstable: the main suite alone, its Release accepted past its Valid-Until.
        self.assertEqual(renamed["sid"], [
            f"Types: deb\nURIs: {MIRROR}/\nSuites: sid\nComponents: main contrib\n{keyring}\nCheck-Valid-Until: no",
        ])

    def test_a_source_line_without_a_suite_is_refused(self):
        with self.assertRaises(SystemExit):
            list(apt_deb_src.one_line_entries(f"deb {MIRROR}\n"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
