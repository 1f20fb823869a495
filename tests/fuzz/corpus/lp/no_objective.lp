\ File written by Velorium LP filereader
Minimize
 obj: 0 x 

Subject To
sum : x + y = 3
gap : x - y >= 1

Bounds
x <= 2
y <= 2

Generals
x
y
End
