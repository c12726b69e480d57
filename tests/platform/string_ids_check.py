#!/usr/bin/env python3
"""Every string id the game's code names is in each staged language table.

A missing id draws as "DUMMY" in that language, so this reads the code the
ways it names ids and fails on any one that a table lacks:
  - constants named for a text (kFooText = 12, kBarString = 34, kTitleStringId,
    kNameStringBase ...), one or several in a declaration;
  - int arrays of them (kStockStrings = {156, 169} ...);
  - fields and parameters holding one (labelStringId = 1222, nameText = 250 ...);
  - literal calls getStringByIndex(12) and table.text(12);
  - the help table's heading and text entries H(760), T(761).
An id computed from a base (kFirstLine + i) has its base checked only.

usage: string_ids_check.py SOURCE_DIR STAGE_DIR
"""
import os
import re
import sys

LANGUAGES = ["EN", "DE", "FR", "ES", "IT", "PT", "RU", "JA", "KO", "ZH"]

# Names of constants that hold a string id; the second pattern takes back the
# ones that only look so (sizes, fonts, frames, word and line indices).
TEXT_NAME = re.compile(r"^k\w*(Text|String|Str|Title|Caption|Label|Heading|Hint|Name|Message)s?(Base|Id|Ids|First)?\d*$")
NOT_TEXT = re.compile(r"Max|Font|Count|Units|Size|Width|Length|Len$|Frame|Module|Colou?r|Scale|Column|Row|Index|"
                      r"Slot|Event|Sprite|Line$|Word$")

DECLARATION = re.compile(r"\b(?:constexpr|const)\s+(?:int|std::int32_t|int32_t|short)\s+([^;{]*);")
ARRAY = re.compile(r"\b(k\w+)\s*(?:\[[^\]]*\])?\s*=\s*\{([\d\s,]*)\}")
ITEM = re.compile(r"^(k\w+)\s*=\s*(\d+)$")
CALL = re.compile(r"\b(?:getStringByIndex|text)\(\s*(\d+)\s*\)")
FIELD = re.compile(r"\b(\w*(?:StringId|TextId|stringId|textId|nameText|NameText|titleText))\s*(?:=|\{)\s*(\d+)\b")
HELP_ENTRY = re.compile(r"\b[TH]\((\d+)\)")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", " ", text)


def gather(source_dir):
    ids = {}

    def add(value, where):
        number = int(value)
        if number > 0:
            ids.setdefault(number, where)

    for root, _, files in os.walk(os.path.join(source_dir, "src")):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(root, name)
            where = os.path.relpath(path, source_dir)
            with open(path, encoding="utf-8", errors="replace") as f:
                text = strip_comments(f.read())
            for match in DECLARATION.finditer(text):
                for part in match.group(1).split(","):
                    item = ITEM.match(part.strip())
                    if item and TEXT_NAME.match(item.group(1)) and not NOT_TEXT.search(item.group(1)):
                        add(item.group(2), where + ": " + item.group(1))
            for match in ARRAY.finditer(text):
                if re.search(r"(Strings|Texts|StringIds|TextIds)$", match.group(1)):
                    for value in re.findall(r"\d+", match.group(2)):
                        add(value, where + ": " + match.group(1))
            for match in FIELD.finditer(text):
                add(match.group(2), where + ": " + match.group(1))
            for match in CALL.finditer(text):
                add(match.group(1), where + ": a call")
            if name == "HelpTable.cpp":
                for match in HELP_ENTRY.finditer(text):
                    add(match.group(1), where + ": help entry")
    return ids


def read_table(path):
    numbers = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            match = re.match(r"\s*(\d+)\s+\S+\s+\"", line)
            if match:
                numbers.add(int(match.group(1)))
    return numbers


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    source_dir, stage_dir = sys.argv[1], sys.argv[2]
    ids = gather(source_dir)
    # Far fewer would mean the code changed how it names ids and this reads nothing.
    if len(ids) < 200:
        print("only %d string ids found in the code: the ways of naming them changed" % len(ids))
        return 1
    failed = False
    for language in LANGUAGES:
        path = os.path.join(stage_dir, "data", "strings", language, "main.str")
        if not os.path.isfile(path):
            print("no staged table %s" % path)
            failed = True
            continue
        table = read_table(path)
        for number in sorted(ids):
            if number not in table:
                print("%s lacks string %d (%s)" % (language, number, ids[number]))
                failed = True
    print("%d string ids checked in %d tables" % (len(ids), len(LANGUAGES)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
