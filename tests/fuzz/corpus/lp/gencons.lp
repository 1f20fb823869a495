Maximize
 x
General Constraints
 g1 : y = NL : ( PLUS , -1 , -1 ) ( VARIABLE , x , 0 ) ( CONSTANT , 2.5 , 0 )
 g2 : z = NL : ( SQRT , -1 , -1 ) ( VARIABLE , y , 0 )

End
