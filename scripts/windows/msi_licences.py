"""Prints the wixl source of the licence texts under <payload>/licences: one component per file, in folders
as in the zip, all in the component group "Licences" below INSTALLDIR. wixl-heat would name the folders at
random; these ids come from the paths, so the same files always give the same package. wixl derives each
component's GUID from its file's path.

Called by scripts/windows/msi.sh."""

import hashlib
import os
import sys
from xml.sax.saxutils import quoteattr


def ident(kind, path):
    return kind + hashlib.sha256(path.encode()).hexdigest()[:32].upper()


def folder(payload, path, components, depth=1):
    pad = "  " * depth
    for name in sorted(os.listdir(os.path.join(payload, path))):
        inner = f"{path}/{name}"
        if os.path.isdir(os.path.join(payload, inner)):
            print(f'{pad}<Directory Id="{ident("dir", inner)}" Name={quoteattr(name)}>')
            folder(payload, inner, components, depth + 1)
            print(f"{pad}</Directory>")
        else:
            components.append(ident("cmp", inner))
            print(f'{pad}<Component Id="{components[-1]}" Guid="*" Win64="yes">')
            print(f'{pad}  <File Id="{ident("fil", inner)}" Name={quoteattr(name)} KeyPath="yes"'
                  f' Source={quoteattr("$(var.PayloadDir)/" + inner)}/>')
            print(f"{pad}</Component>")


def main(payload):
    components = []
    print('<?xml version="1.0" encoding="utf-8"?>')
    print('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">\n<Fragment>\n<DirectoryRef Id="INSTALLDIR">')
    print(f'<Directory Id="{ident("dir", "licences")}" Name="licences">')
    folder(payload, "licences", components)
    print('</Directory>\n</DirectoryRef>\n<ComponentGroup Id="Licences">')
    for component in components:
        print(f'  <ComponentRef Id="{component}"/>')
    print("</ComponentGroup>\n</Fragment>\n</Wix>")


if __name__ == "__main__":
    main(sys.argv[1])
