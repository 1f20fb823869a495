\* Problem: qfit *\

Minimize
 obj: 0 a

Subject To
 equalz1: + 33207.1608 a + 4171.956 b + 565.68 c = 2846.403
 equalz2: + 4171.956 a + 565.68 b + 87.6 c = 382.83
 equalz3: + 565.68 a + 87.6 b + 19 c = 61.6

Bounds
 a free
 b free
 c free

End
