NAME FIXED
ROWS
 N  COST
 L  LIM1
COLUMNS
    X1        COST         1.0   LIM1         1.0
              LIM1         1.0
RHS
              LIM1         4.0
BOUNDS
 UP           X1           4.0
ENDATA
