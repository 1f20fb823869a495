NAME bom
ROWS
 N obj
* comment
COLUMNS
	RHS obj 1
 ENDATA obj 2
ENDATA