NAME BOUNDS
ROWS
 N obj
COLUMNS
 a obj 1
 b obj 1
 c obj 1
 d obj 1
 e obj 1
 f obj 1
 g obj 1
 h obj 1
 i obj 1
 j obj 1
 k obj 1
BOUNDS
 UP B a 5
 LO B b -5
 FX B c 3
 MI B d
 PL B e
 BV B f
 LI B g 2
 UI B h 10
 FR B i
 SI B j 8
 SC B k 9
 LO B k 1
ENDATA
