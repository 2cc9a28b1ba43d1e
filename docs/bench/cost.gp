set terminal pngcairo size 900,560 font 'sans,10'
set output 'cost.png'
set title 'Cost against samples in the run (CPU time, release build)'
set xlabel 'samples'
set ylabel 'milliseconds'
set logscale xy
set xrange [8000:1.4e6]
set format x '%.0s%c'
set key left top
set grid
plot 'cost.dat' using 1:2 with linespoints title 'one automatic sample', 'cost.dat' using 1:3 with linespoints title 'full graph redraw', 'cost.dat' using 1:4 with linespoints title 'redraw visiting every sample (before)', 'cost.dat' using 1:5 with linespoints title 'record file write (atomic)', 'cost.dat' using 1:6 with linespoints title 'record file read (staged)', 'cost.dat' using 1:7 with linespoints title 'CSV export in the program', 'cost.dat' using 1:8 with linespoints title 'lumetrevisor-cli export'
