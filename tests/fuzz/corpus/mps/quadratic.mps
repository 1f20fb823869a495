NAME QUAD
ROWS
 N obj
 L c1
 L c2
COLUMNS
 x obj 1 c1 1
 y c1 1 c2 1
RHS
 RHS c1 10 c2 5
QMATRIX
 x x 2
 x y 1
 y x 1
QUADOBJ
 y y 3
QCMATRIX c1
 x y 3
 y x 3
QSECTION c2
 y y 1
ENDATA
