"""The Windows Installer package under Wine, as IT staff deploy it: a silent install of the program with its
Start-menu shortcut and its Add/Remove Programs entry, a newer version replacing it, an older one refused,
and a silent removal by product code that leaves nothing behind."""

import os
import re
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import Program, run  # noqa: E402

PACKAGE, ZIP, STAGE = os.environ["VOSTREL_MSI"], os.environ["VOSTREL_ZIP"], os.environ["VOSTREL_STAGE"]
ICON, MAKE_PACKAGE = os.environ["VOSTREL_ICON"], os.environ["VOSTREL_MAKE_MSI"]
PREFIX = os.environ["WINEPREFIX"]
WINE64 = "/usr/lib/wine/wine64"  # Debian's 64-bit loader, not on PATH; a 64-bit msiexec for a 64-bit package
INSTALLED = os.path.join(PREFIX, "drive_c", "Program Files", "Vostrel", "Vostrel.exe")
UNINSTALL = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# No menu entries of the installed program leak onto the machine that runs the tests.
WINE_ENVIRONMENT = dict(os.environ, WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=")


def msiexec(*args, log=None):
    """msiexec's exit status, which reaches Linux cut to 8 bits (1603, a failed install, reads 67)."""
    logging = ["/l*v", log] if log else []
    return subprocess.run([WINE64, "msiexec", *args, "/qn", *logging], env=WINE_ENVIRONMENT,
                          capture_output=True).returncode


def product_code(package):
    return re.search(r"^ProductCode\t(\S+)", run("msiinfo", "export", package, "Property"), re.M)[1]


def uninstall_entries():
    """The programs that Add/Remove Programs lists, as {key: {value name: value}}. reg query prints Thai as '?',
    so the entries are exported, and read in UTF-16 as reg writes them."""
    with tempfile.TemporaryDirectory() as folder:
        exported = os.path.join(folder, "uninstall.reg")
        subprocess.run([WINE64, "reg", "export", UNINSTALL, "Z:" + exported.replace("/", "\\"), "/y"],
                       env=WINE_ENVIRONMENT, check=True, capture_output=True)
        with open(exported, encoding="utf-16") as reg_file:
            text = reg_file.read()
    entries = {}
    for key, body in re.findall(r"^\[[^\]]*\\Uninstall\\([^\]]+)\]\n((?:.+\n)*)", text.replace("\r\n", "\n"), re.M):
        values = re.findall(r'^"([^"]+)"=(?:"((?:[^"\\]|\\.)*)"|(dword:\w+))', body, re.M)
        entries[key] = {name: quoted or dword for name, quoted, dword in values}
    return entries


def vostrel_entries():
    return {key: values for key, values in uninstall_entries().items() if values.get("DisplayName") == "Vostrel"}


def start_menu_folder(log):
    """Wine puts the all-users Start menu in the user's profile: where the package put it, from its log."""
    with open(log, "rb") as log_file:
        text = log_file.read().decode("latin-1")
    folder = re.search(r"ProgramMenuFolder = (C:\\[^\r\n]*?)\\?\s*$", text, re.M)[1]
    return os.path.join(PREFIX, "drive_c", *folder[3:].split("\\"))


class InstallerUnderWineTest(unittest.TestCase):
    def tearDown(self):
        for key in vostrel_entries():  # whatever a failed test left installed
            msiexec("/x", key)

    def test_silent_install_runs_the_program_and_removal_leaves_nothing(self):
        log = os.path.join(tempfile.mkdtemp(), "install.log")
        self.assertEqual(msiexec("/i", PACKAGE, log=log), 0)
        with zipfile.ZipFile(ZIP) as packed, open(INSTALLED, "rb") as installed:
            self.assertEqual(installed.read(), packed.read("Vostrel.exe"))
        licences = os.path.join(os.path.dirname(INSTALLED), "licences")
        self.assertTrue(os.path.isfile(os.path.join(licences, "Vostrel-LICENSE.txt")))
        self.assertTrue(os.path.isfile(os.path.join(licences, "Qt", "Qt-LGPL-3.0-only.txt")))

        shortcut = os.path.join(start_menu_folder(log), "Vostrel.lnk")
        self.assertTrue(os.path.isfile(shortcut), shortcut)
        code = product_code(PACKAGE)
        entry = vostrel_entries()
        self.assertEqual(list(entry), [code])
        entry = entry[code]
        self.assertEqual((entry["DisplayVersion"], entry["Publisher"], entry["NoModify"]),
                         ("1.0.0", "Vostrel project", "dword:00000001"))
        self.assertIn("ตารางธาตุ", entry["Comments"])
        # The entry's icon, which Windows keeps with the installed product.
        with open(ICON, "rb") as icon, open(os.path.join(PREFIX, "drive_c", "windows", "Installer", code,
                                                         "Vostrel.ico"), "rb") as kept:
            self.assertEqual(kept.read(), icon.read())

        program = Program(WINE64, [INSTALLED], env={"WINEDLLOVERRIDES": WINE_ENVIRONMENT["WINEDLLOVERRIDES"]})
        program.stop()

        self.assertEqual(msiexec("/x", code), 0)
        self.assertEqual(vostrel_entries(), {})
        self.assertFalse(os.path.exists(shortcut))
        self.assertFalse(os.path.exists(os.path.dirname(INSTALLED)))

    def test_a_newer_version_replaces_the_older_which_cannot_come_back(self):
        with tempfile.TemporaryDirectory() as folder:
            newer = os.path.join(folder, "Vostrel-1.0.1-windows-x64.msi")
            subprocess.run([MAKE_PACKAGE, "1.0.1", STAGE, ICON, newer], check=True, capture_output=True)
            self.assertNotEqual(product_code(newer), product_code(PACKAGE))
            self.assertEqual(msiexec("/i", PACKAGE), 0)
            self.assertEqual(msiexec("/i", newer), 0)
            self.assertEqual({key: entry["DisplayVersion"] for key, entry in vostrel_entries().items()},
                             {product_code(newer): "1.0.1"})

            self.assertEqual(msiexec("/i", PACKAGE), 1603 % 256)
            self.assertEqual(list(vostrel_entries()), [product_code(newer)])
            self.assertEqual(msiexec("/x", product_code(newer)), 0)
            self.assertFalse(os.path.exists(os.path.dirname(INSTALLED)))


if __name__ == "__main__":
    unittest.main(verbosity=2)
