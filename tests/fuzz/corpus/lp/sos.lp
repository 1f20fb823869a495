SOS
 s1: S1:: x:1 y:2
 s2: s2:: y:1
End
