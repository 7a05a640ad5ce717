# The full /proc scan: median time against the number of processes, both on logarithmic scales.
# Called by bench/run with data (columns: processes, then milliseconds for tyvar, the stat
# floor, the comm floor, killall and pidof) and output set.
set terminal svg size 720,480 dynamic enhanced font "sans,12" background rgb "white"
set output output
set title "A full scan of /proc for a name that matches nothing"
set xlabel "processes"
set ylabel "median time (ms)"
set logscale xy
set grid xtics ytics mxtics mytics lc rgb "#dddddd"
set key bottom right Left reverse box opaque samplen 3
set xrange [100:20000]
set yrange [1:1000]
set format x "%.0f"
set format y "%.0f"
plot data using 1:2 with linespoints lw 3 pt 7 ps 0.8 lc rgb "#1b5e20" title "tyvar -nc", \
     data using 1:3 with linespoints lw 2 dt 2 pt 4 lc rgb "#555555" title "stat floor (open, fstat, read, close of stat)", \
     data using 1:4 with linespoints lw 2 dt 3 pt 6 lc rgb "#0d47a1" title "comm floor (open, read, close of comm)", \
     data using 1:5 with linespoints lw 2 pt 5 ps 0.8 lc rgb "#e65100" title "killall -0", \
     data using 1:6 with linespoints lw 2 pt 9 ps 0.8 lc rgb "#b71c1c" title "pidof"
