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
set key top left
set format x "%.0f"
set format y "%.0f"
plot data using 1:2 with linespoints lw 2 pt 7 title "tyvar -nc", \
     data using 1:3 with linespoints lw 1 dt 2 pt 4 title "stat floor (open, fstat, read, close of stat)", \
     data using 1:4 with linespoints lw 1 dt 3 pt 6 title "comm floor (open, read, close of comm)", \
     data using 1:5 with linespoints lw 1 pt 5 title "killall -0", \
     data using 1:6 with linespoints lw 1 pt 9 title "pidof"
