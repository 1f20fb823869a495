ROWS
 N obj
COLUMNS
 x obj 1e999
 y obj -inf
 z obj nan
RHS
 RHS obj +1.5
ENDATA
