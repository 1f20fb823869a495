x
x	1
my var 2.5
  x   3
v abc
w 7abc
t 4  
 5
#x 1
x 2


  #y 6
