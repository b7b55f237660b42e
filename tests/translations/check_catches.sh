#!/usr/bin/env bash
# The translations check must fail on each fault it is there for: a Chinese
# text outside any translation call (also inside a statement written over
# several lines), and a marked text the translation file lacks. A tree that
# is in order passes. Usage: check_catches.sh LUPDATE CHECK_SCRIPT
set -euo pipefail
lupdate=$1
check=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/src" "$root/translations"

cat >"$root/translations/dsp-control_en.ts" <<'TS'
<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>Fixture</name>
    <message>
        <source>已翻译</source>
        <translation>Translated</translation>
    </message>
</context>
</TS>
TS

good='QString a() { return QCoreApplication::translate("Fixture", "已翻译"); }
QString b() {
  return QCoreApplication::translate("Fixture",
                                     "已翻译");
}
const char* font = "微软雅黑";  // untranslated: a font family name'
printf '%s\n' "$good" >"$root/src/good.cpp"

failures=0
expect() {  # expect PASS|FAIL TEXT-IN-OUTPUT
  local want=$1 text=$2 output status=0
  output=$("$check" "$lupdate" "$root" 2>&1) || status=$?
  if [[ $want == PASS && $status -ne 0 ]] || [[ $want == FAIL && $status -eq 0 ]]; then
    echo "expected $want, got status $status:"; echo "$output"; failures=$((failures + 1))
  elif [[ -n $text && $output != *"$text"* ]]; then
    echo "expected '$text' in:"; echo "$output"; failures=$((failures + 1))
  fi
}

expect PASS ""

printf '%s\n' "$good" 'QString c() { return QStringLiteral("未标记"); }' >"$root/src/good.cpp"
expect FAIL "not marked for translation: src/good.cpp:7"

# A statement that ends before the next text: the earlier call does not cover it.
printf '%s\n' "$good" 'QString d() { return QCoreApplication::translate("Fixture", "已翻译"); }' \
  'const char* e =' '    "未标记";' >"$root/src/good.cpp"
expect FAIL "src/good.cpp:9"

printf '%s\n' "$good" 'QString f() { return QCoreApplication::translate("Fixture", "新文本"); }' >"$root/src/good.cpp"
expect FAIL "unfinished: 新文本"

exit $((failures > 0))
