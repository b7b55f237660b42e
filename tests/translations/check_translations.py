#!/usr/bin/env python3
"""Fails when a user-visible text is not marked for translation or a
translation file has unfinished entries.

1. Every string literal in src/ that holds Chinese characters must stand in
   a translation call (tr, translate, QT_TR_NOOP, QT_TRANSLATE_NOOP,
   DSP_TRANSLATE_NOOP) opened on the same line, the line before, or earlier
   in the same statement (a text written over several lines), unless
   the line or the comment line before it holds the marker comment
   `// untranslated: REASON` (texts the processor itself stores or compares,
   never shown as program text).
2. lupdate is run over the sources into copies of translations/*.ts; the
   result must hold no unfinished entry (a new or changed source text
   without its translation).
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

MARKERS = re.compile(r'\b(tr|translate|QT_TR_NOOP|QT_TRANSLATE_NOOP|DSP_TRANSLATE_NOOP)\s*\(')
CJK_LITERAL = re.compile(r'"(?:[^"\\]|\\.)*[\u3000-\u9fff\uff00-\uffef](?:[^"\\]|\\.)*"')
EXEMPT = re.compile(r'//\s*untranslated:')


def outside_strings(line):
    """The positions of the line's characters that stand outside string
    literals (escapes inside a literal are skipped)."""
    in_string = False
    i = 0
    while i < len(line):
        c = line[i]
        if c == '\\' and in_string:
            i += 2
            continue
        if c == '"':
            in_string = not in_string
        elif not in_string:
            yield i
        i += 1


def code_part(line):
    """The line without a trailing // comment outside string literals."""
    for i in outside_strings(line):
        if line.startswith('//', i):
            return line[:i]
    return line


def ends_statement(code):
    """True when the code (a line without its comment) ends or opens a
    statement or block outside string literals: ; { or }."""
    return any(code[i] in ';{}' for i in outside_strings(code))


def unmarked_texts(src):
    problems = []
    for path in sorted(src.rglob('*')):
        if path.suffix not in ('.cpp', '.h'):
            continue
        previous = ''
        previous_line = ''
        open_call = False  # a translation call opened earlier in this statement
        in_block_comment = False
        for number, line in enumerate(path.read_text(encoding='utf-8').splitlines(), 1):
            stripped = line.strip()
            if in_block_comment:
                if '*/' in stripped:
                    in_block_comment = False
                continue
            if stripped.startswith('/*') and '*/' not in stripped:
                in_block_comment = True
                continue
            code = code_part(line)
            exempt = EXEMPT.search(line) or (previous_line.lstrip().startswith('//') and EXEMPT.search(previous_line))
            if CJK_LITERAL.search(code) and not exempt:
                if not MARKERS.search(code) and not MARKERS.search(previous) and not open_call:
                    problems.append(f'{path.relative_to(src.parent)}:{number}: {stripped}')
            if MARKERS.search(code):
                open_call = True
            if ends_statement(code):
                open_call = False
            previous = code
            previous_line = line
    return problems


def unfinished_translations(lupdate, root):
    problems = []
    ts_files = sorted((root / 'translations').glob('*.ts'))
    if not ts_files:
        return ['translations/: no .ts file']
    with tempfile.TemporaryDirectory() as tmp:
        for ts in ts_files:
            copy = pathlib.Path(tmp) / ts.name
            shutil.copy(ts, copy)
            subprocess.run([lupdate, '-silent', '-locations', 'none', '-tr-function-alias',
                            'QT_TRANSLATE_NOOP+=DSP_TRANSLATE_NOOP', str(root / 'src'), '-ts', str(copy)],
                           check=True)
            text = copy.read_text(encoding='utf-8')
            for message in re.findall(r'<message>.*?</message>', text, re.S):
                if re.search(r'<translation type="unfinished"', message) or \
                        re.search(r'<translation>\s*</translation>', message):
                    source = re.search(r'<source>(.*?)</source>', message, re.S)
                    problems.append(f'{ts.name}: unfinished: {source.group(1) if source else message}')
    return problems


def main():
    lupdate, root = sys.argv[1], pathlib.Path(sys.argv[2])
    problems = unmarked_texts(root / 'src')
    for p in problems:
        print(f'not marked for translation: {p}')
    unfinished = unfinished_translations(lupdate, root)
    for p in unfinished:
        print(p)
    if problems or unfinished:
        return 1
    print('translations: every text is marked and translated')
    return 0


if __name__ == '__main__':
    sys.exit(main())
