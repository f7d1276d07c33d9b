#!/usr/bin/env bash
# Asks the bash completion of tessik-cli for completions the way bash does when Tab is
# pressed, and compares them with what a user expects; checks that it offers every option
# that `tessik-cli --help` names, and only options that tessik-cli knows.
# Usage: completion_test.sh COMPLETION_FILE TESSIK_CLI     (exit 77: bash-completion missing)
set -uo pipefail

completion=$1
cli=$2
framework=/usr/share/bash-completion/bash_completion
if [ ! -f "$framework" ]; then
  echo "SKIPPED: bash-completion is not installed (apt-get install bash-completion)"
  exit 77
fi
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=packaging/bash-completion/tessik-cli
source "$completion"

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/records/1998" "$tree/my dir" "$tree/report:old"
touch "$tree/records/a.txt" "$tree/records/b.txt" "$tree/records.log" "$tree/my dir/c.txt" \
      "$tree/-dash.txt" "$tree/report:old/d.txt"
cd "$tree" || exit 1

failures=0

# The completions of the last word, one per line and sorted, when the words are on the
# command line (as bash splits them) with the cursor at the end. (How a file name is quoted
# is bash-completion's own, which bash itself helps with while it completes.)
completions() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _tessik_cli tessik-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  if [ ${#COMPREPLY[@]} -gt 0 ]; then printf '%s\n' "${COMPREPLY[@]}" | sort; fi
}

# expect "WORDS|..." "COMPLETION|...": the words typed, and every completion expected.
expect() {
  local typed expected got
  readarray -d '|' -t typed < <(printf '%s|' "$1")
  expected=$(tr '|' '\n' <<<"$2" | sed '/^$/d' | sort)
  got=$(completions "${typed[@]}")
  if [ "$got" != "$expected" ]; then
    echo "FAIL: '${1//|/ }' completes to [${got//$'\n'/, }], expected [${expected//$'\n'/, }]"
    failures=$((failures + 1))
  fi
}

options_after_first="-s|--subdirs|--method|--encoding|--given-names|--records|--log|--vimgrep|--json|--sort|-j|--threads|-h|--help|--version|--"
expect "tessik-cli|--v" "--version|--vimgrep"
expect "tessik-cli|--e" "--encoding|--explain"
expect "tessik-cli|--l" "--log"
expect "tessik-cli|--g" "--given-names"
expect "tessik-cli|--r" "--records"
expect "tessik-cli|--given-names|rec" "records|records.log"       # SPEC after the switch
expect "tessik-cli|-" "$options_after_first|--explain"
expect "tessik-cli|-s|--e" "--encoding"                      # --explain takes nothing else
expect "tessik-cli|-s|-" "$options_after_first"
expect "tessik-cli|records/*.txt|-" "$options_after_first"   # options may follow SPEC
expect "tessik-cli|rec" "records|records.log"
expect "tessik-cli|-s|records/" "records/1998|records/a.txt|records/b.txt"
expect "tessik-cli|-s|'records/" "records/1998|records/a.txt|records/b.txt"
expect "tessik-cli|'my dir/" "my dir/c.txt"
expect "tessik-cli|report:old/" "report:old/d.txt"
expect "tessik-cli|--log|records." "records.log"
expect "tessik-cli|--method|" "soundex|dm|scored"
expect "tessik-cli|--sort|" "score"
expect "tessik-cli|--method=d" "--method=dm"
expect "tessik-cli|--method|dm|rec" "records|records.log"      # SPEC after the method
expect "tessik-cli|--encoding|" "auto|ascii"
expect "tessik-cli|--encoding=a" "--encoding=auto|--encoding=ascii"
expect "tessik-cli|--log|out.log|records/" "records/1998|records/a.txt|records/b.txt"
expect "tessik-cli|--explain|" ""                            # a word of the user's own
expect "tessik-cli|-j|" ""                                   # a number of the user's own
expect "tessik-cli|--threads|4|rec" "records|records.log"    # SPEC after the count
expect "tessik-cli|--version|" ""
expect "tessik-cli|records/*.txt|" ""                        # QUERY words
expect "tessik-cli|records/*.txt|Cath" ""
expect "tessik-cli|--|-" "-dash.txt"                         # SPEC after --
expect "tessik-cli|--|records/*.txt|-" ""

# Every option that the program names is offered, and only options that it knows.
offered=$(completions tessik-cli -)
named=$("$cli" --help 2>&1 | tr -s '[:space:][]|,.;:()' '\n' | grep -E -- '^(--?[a-z][a-z-]*|--)$' |
        sort -u)
not_offered=$(comm -13 <(echo "$offered") <(echo "$named"))
if [ -n "$not_offered" ]; then
  echo "FAIL: tessik-cli --help names [${not_offered//$'\n'/ }], which completion does not offer"
  failures=$((failures + 1))
fi
for option in $offered; do
  # Given alone, an option searches nothing.
  if "$cli" "$option" </dev/null 2>&1 | grep -q "unknown option"; then
    echo "FAIL: completion offers $option, which tessik-cli does not know"
    failures=$((failures + 1))
  fi
done

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all completions as expected"
