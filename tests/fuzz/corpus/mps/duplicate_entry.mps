ROWS
 N obj
 L c
COLUMNS
 x c 1
 x c 2
ENDATA
