#!/usr/bin/env bash
# zevConverter against LibreOffice's own --convert-to pdf on the office
# documents of tests/data and a 304-page one, in one run, as a ratio, and the
# share of the words of its PDF that ours keeps.
#   bench/docconverter.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x build/bin/folyant-docconverter-bench ]] || { echo "build first: cmake --build --preset default" >&2; exit 2; }
[[ -x /usr/bin/soffice ]] || { echo "LibreOffice is needed" >&2; exit 2; }
documents=(tests/data/office/poi-SampleDoc.doc tests/data/office/tika-testRTF-word2003.rtf
  tests/data/office/poi-Employee.xls tests/data/office/poi-15556-korean.xls tests/data/office/poi-SampleShow.ppt
  tests/data/office/poi-54880_chinese.ppt tests/data/office/tika-testHWP_3.0.hwp
  tests/data/office/public-licences-304p.doc)
BENCH_RUNS=${1:-3} build/bin/folyant-docconverter-bench "${documents[@]/#/$PWD/}"
