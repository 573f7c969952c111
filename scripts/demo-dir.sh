# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by run-demo and screenshots: a fresh front-office directory with the
# demo databases and settings that keep every written file inside it.
# Sets root, build and scratch; takes the build directory and the scratch
# directory's name.
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
case $build in
  /*) ;;
  *) build=$root/$build ;;
esac

prepare_demo_dir() {
  scratch=$build/$1
  rm -rf "$scratch"
  mkdir -p "$scratch"
  cp "$root"/demo/*.mdb "$scratch"/
  # Line 1 the export path, line 2 the command "&Invia" starts: here it opens
  # the file just sent. CR LF line ends, as the tool writes them.
  printf '%s\r\n%s\r\n' "$scratch/ZaverUdevu.txt" "xdg-open \"$scratch/ZaverUdevu.txt\"" \
    > "$scratch/TaxSetup.txt"
  # The rules of the tax report: a low season, minors and residents exempt.
  printf 'Tariffa=3,50\r\nStagione=01/11/2023 31/03/2024 2,00\r\nEtaEsente=14\r\nNottiMassime=7\r\nComuneResidenti=ROMA\r\n' \
    > "$scratch/ImpostaSoggiorno.txt"
}
