# Sourced by the scripts that run the analyzer on the bundled samples.
#   read_samples             sets SAMPLES (names) and the associative arrays
#                            SAMPLE_OPTIONS and SAMPLE_DISPLAY from samples/samples.list
#   device_root DIR BUILD    lays out DIR as a device root holding BUILD's
#                            artwork and font (links), for ANALYZER_ROOT=DIR
#   user_path PATH           PATH as given on the command line, absolute: a
#                            relative one is taken from where the script was
#                            started, unless only the source tree holds it
#                            (samples/x.csv works from anywhere)
# Call samples_init first thing, before the script changes folder.
samples_init() {
  started_in=$PWD
  source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
}

# Leading and trailing blanks off.
trim() {
  local s=${1#"${1%%[![:space:]]*}"}
  echo "${s%"${s##*[![:space:]]}"}"
}

read_samples() {
  local name options display
  SAMPLES=()
  declare -gA SAMPLE_OPTIONS=() SAMPLE_DISPLAY=()
  while IFS='|' read -r name options display; do
    name=$(trim "$name")
    [[ -z $name || $name == \#* ]] && continue
    SAMPLES+=("$name")
    SAMPLE_OPTIONS[$name]=$(trim "$options")
    SAMPLE_DISPLAY[$name]=$(trim "$display")
  done <"$source_dir/samples/samples.list"
}

device_root() {
  local dir=$1 build
  build=$(cd "$2" && pwd)
  mkdir -p "$dir/usr/local/app"
  ln -sfn "$build/root/usr/local/app/image" "$dir/usr/local/app/image"
  ln -sfn "$build/root/usr/local/app/font" "$dir/usr/local/app/font"
}

user_path() {
  case $1 in
    /*) echo "$1" ;;
    *) if [ ! -e "$started_in/$1" ] && [ -e "$source_dir/$1" ]; then echo "$source_dir/$1"; else echo "$started_in/$1"; fi ;;
  esac
}
