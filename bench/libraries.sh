# Sourced by the bench/ scripts: the made-up libraries they measure, generated once.
#
#   bench_libraries GENLIB SIZES    e.g. bench_libraries build-bench/bench/jubo-genlib 10k,100k,1M
#
# Makes $data/songs-N-seed-S/jubodb.txt for each size (1, 10k, 100k, 1M ...), generating it only
# when it is missing or older than the generator, and sets the array `library_dirs` to their
# folders in order. $data is $JUBO_BENCH_DATA (default /tmp/jubo-bench, outside the repository),
# S is $JUBO_BENCH_SEED (default 1).
data=${JUBO_BENCH_DATA:-/tmp/jubo-bench}
seed=${JUBO_BENCH_SEED:-1}

bench_libraries() {
  local genlib=$1 size songs dir
  local wanted
  IFS=, read -r -a wanted <<<"$2"
  library_dirs=()
  for size in "${wanted[@]}"; do
    case $size in
      *k) songs=$((${size%k} * 1000)) ;;
      *M) songs=$((${size%M} * 1000000)) ;;
      *) songs=$size ;;
    esac
    dir=$data/songs-$songs-seed-$seed
    if [ ! -f "$dir/jubodb.txt" ] || [ "$genlib" -nt "$dir/jubodb.txt" ]; then
      echo "generating $songs songs into $dir" >&2
      "$genlib" "$dir" "$songs" "$seed"
    fi
    library_dirs+=("$dir")
  done
}
