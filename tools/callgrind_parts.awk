# Instructions of one frame by where they run, from two callgrind_annotate
# reports of the frame benchmark: the first of a run without frames, the
# second of a run with FRAMES frames. The first is taken from the second, so
# what is left is the frames' own cost (self cost, by object and function).
# Prints "Ir per frame|part|share" lines, unsorted, and the total.
# Usage: awk -v frames=FRAMES -f tools/callgrind_parts.awk ANNOTATE_0 ANNOTATE_FRAMES
function part(object, fn) {
    if (object ~ /walker_frame_bench/) return fn ~ /^(malloc|calloc|realloc)$/ ? "libc: malloc, free" : "program"
    if (object ~ /libglut/) return "GLUT (freeglut)"
    if (object ~ /libm\./) return "libm"
    if (object ~ /libc\./) return fn ~ /mem(cpy|move|set)/ ? "libc: memcpy, memset" : "libc: malloc, free"
    if (object ~ /libX11|libxcb|libXext/) return "X client libraries"
    if (object ~ /ld-linux/) return "dynamic loader"
    return "Mesa (GL, GLX, llvmpipe, its JIT code)"
}
FNR == 1 { run++ }
/file:function/ { on[run] = 1; next }
on[run] && /\[.*\]$/ {
    ir = $1; gsub(",", "", ir)
    object = $NF; fn = $0; sub(/^.*:/, "", fn); sub(/ \[.*$/, "", fn)
    cost[part(object, fn)] += (run == 1 ? -ir : ir)
}
END {
    for (p in cost) total += cost[p]
    for (p in cost) if (cost[p] / frames >= 1) printf "%.0f|%s|%.2f%%\n", cost[p] / frames, p, 100 * cost[p] / total
    printf "%.0f|%s|100%%\n", total / frames, "total"
}
