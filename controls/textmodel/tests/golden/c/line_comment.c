// whole line
x = y / z; // tail
