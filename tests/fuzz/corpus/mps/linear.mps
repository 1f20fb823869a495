NAME          LINEAR
OBJSENSE
    MAX
ROWS
 N  obj
 L  c1
 G  c2
 E  c3
 N  free
COLUMNS
    x         obj       1            c1        2
    x         c2        1
    MARK0000  'MARKER'                 'INTORG'
    y         obj       -1           c3        1
    MARK0001  'MARKER'                 'INTEND'
    z         c1        1.5e-3       free      1
RHS
    RHS       c1        4            c2        1
    RHS       c3        3            obj       -2.5
RANGES
    RNG       c1        2            c3        -1
BOUNDS
 UP BND       x         4
 LO BND       y         -1
 MI BND       z
ENDATA
