#!/usr/bin/env python3
"""Lays out the sample product for the package maker.

Copies the built programs, the skin and the data files into the stage folder under their
package paths, fills md5, time and size of every <file> of the component configurations
from the staged files, writes "_setup.ini", and writes the maker's two file lists:
list0.txt (package #0: program files and the "package" folder's configurations) and
list1.txt (package #1: the setup files).
"""
import argparse
import hashlib
import os
import re
import shutil
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
PRODUCT = os.path.join(HERE, "product")
FILE_TAG = re.compile(r"<file\b[^>]*>")
PATH_ATTR = re.compile(r'\bpath="([^"]*)"')


def stage_path(stage, package_path):
    return os.path.join(stage, *package_path.split("\\"))


def component_configs(product_config):
    root = ET.parse(product_config).getroot()
    return [c.get("config") for c in root.iter() if c.tag.lower() == "component"]


def fill_file_tag(stage, tag):
    path = PATH_ATTR.search(tag).group(1)
    staged = stage_path(stage, path)
    with open(staged, "rb") as f:
        data = f.read()
    time_ms = str(int(os.stat(staged).st_mtime * 1000))
    return (tag.replace("@MD5@", hashlib.md5(data).hexdigest())
               .replace("@TIME@", time_ms)
               .replace("@SIZE@", str(len(data)))), path


def stage_file(stage, package_path, source):
    target = stage_path(stage, package_path)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy2(source, target)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--stage", required=True)
    parser.add_argument("--image", required=True, help="the bare setup program")
    parser.add_argument("--client", required=True)
    parser.add_argument("--helper", required=True)
    parser.add_argument("--postinstall", required=True)
    parser.add_argument("--skin", required=True)
    args = parser.parse_args()

    stage = args.stage
    if os.path.isdir(stage):
        shutil.rmtree(stage)
    os.makedirs(stage)
    built = {
        "Tamsel游戏Pelluvo.exe": args.client,
        "PelluvoHelper.dll": args.helper,
        "tools\\PelluvoPostInstall.exe": args.postinstall,
        "PackageManager.exe": args.image,
        "setup\\PackageManager.zip": args.skin,
    }
    configs = component_configs(os.path.join(PRODUCT, "Product.config"))
    program_files = []
    for config in configs:
        with open(os.path.join(PRODUCT, config), encoding="utf-8") as f:
            text = f.read()
        for tag in FILE_TAG.findall(text):
            path = PATH_ATTR.search(tag).group(1)
            source = built.get(path) or os.path.join(PRODUCT, "files", *path.split("\\"))
            stage_file(stage, path, source)
        filled = []
        for tag in FILE_TAG.findall(text):
            new_tag, path = fill_file_tag(stage, tag)
            filled.append((tag, new_tag))
            program_files.append(path)
        for old, new in filled:
            text = text.replace(old, new, 1)
        os.makedirs(stage_path(stage, "package"), exist_ok=True)
        with open(stage_path(stage, "package\\" + config), "w", encoding="utf-8", newline="") as f:
            f.write(text)
    stage_file(stage, "package\\Product.config", os.path.join(PRODUCT, "Product.config"))
    # "_setup.ini" in UTF-16LE with its byte-order mark: without the mark the profile
    # functions read the file as ANSI text and never find the key.
    with open(stage_path(stage, "_setup.ini"), "wb") as f:
        f.write(b"\xff\xfe" + "[Product]\r\nProduct=Product.config\r\n".encode("utf-16-le"))

    configs_paths = ["package\\Product.config"] + ["package\\" + c for c in configs]
    lists = {
        "list0.txt": program_files + configs_paths,
        "list1.txt": ["_setup.ini", "package\\Product.config", "PackageManager.exe", "setup\\PackageManager.zip"]
                     + ["package\\" + c for c in configs],
    }
    for name, paths in lists.items():
        with open(os.path.join(stage, name), "w", encoding="utf-8", newline="") as f:
            f.write("".join(p + "\r\n" for p in paths))
    return 0


if __name__ == "__main__":
    sys.exit(main())
