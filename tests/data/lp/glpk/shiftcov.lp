\* Problem: shiftcov *\

Minimize
 obj: + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9)

Subject To
 Coverage(1,SUN): 0 crew(Sh1) >= -0
 Coverage(1,MON): + crew(Sh1) >= 3
 Coverage(1,TUE): + crew(Sh1) >= 3
 Coverage(1,WED): + crew(Sh1) >= 4
 Coverage(1,THU): + crew(Sh1) >= 3
 Coverage(1,FRI): + crew(Sh1) >= 2
 Coverage(1,SAT): 0 crew(Sh1) >= -0
 Coverage(2,SUN): 0 crew(Sh1) >= -0
 Coverage(2,MON): + crew(Sh1) + crew(Sh2) >= 14
 Coverage(2,TUE): + crew(Sh1) + crew(Sh2) >= 14
 Coverage(2,WED): + crew(Sh1) + crew(Sh2) >= 16
 Coverage(2,THU): + crew(Sh1) + crew(Sh2) >= 14
 Coverage(2,FRI): + crew(Sh1) + crew(Sh2) >= 12
 Coverage(2,SAT): + crew(Sh9) >= 12
 Coverage(3,SUN): 0 crew(Sh1) >= -0
 Coverage(3,MON): + crew(Sh1) + crew(Sh2) + crew(Sh3) >= 24
 Coverage(3,TUE): + crew(Sh1) + crew(Sh2) + crew(Sh3) >= 24
 Coverage(3,WED): + crew(Sh1) + crew(Sh2) + crew(Sh3) >= 27
 Coverage(3,THU): + crew(Sh1) + crew(Sh2) + crew(Sh3) >= 24
 Coverage(3,FRI): + crew(Sh1) + crew(Sh2) + crew(Sh3) >= 20
 Coverage(3,SAT): + crew(Sh9) >= 15
 Coverage(4,SUN): 0 crew(Sh1) >= -0
 Coverage(4,MON): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4) >= 28
 Coverage(4,TUE): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4) >= 28
 Coverage(4,WED): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4) >= 32
 Coverage(4,THU): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4) >= 28
 Coverage(4,FRI): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4) >= 23
 Coverage(4,SAT): + crew(Sh9) >= 15
 Coverage(5,SUN): 0 crew(Sh1) >= -0
 Coverage(5,MON): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5) >= 33
 Coverage(5,TUE): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5) >= 33
 Coverage(5,WED): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5) >= 37
 Coverage(5,THU): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5) >= 33
 Coverage(5,FRI): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5) >= 24
 Coverage(5,SAT): + crew(Sh9) >= 16
 Coverage(6,SUN): 0 crew(Sh1) >= -0
 Coverage(6,MON): + crew(Sh1) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh9) >= 34
 Coverage(6,TUE): + crew(Sh1) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh9) >= 34
 Coverage(6,WED): + crew(Sh1) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh9) >= 38
 Coverage(6,THU): + crew(Sh1) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) >= 34
 Coverage(6,FRI): + crew(Sh1) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) >= 24
 Coverage(6,SAT): + crew(Sh9) >= 15
 Coverage(7,SUN): 0 crew(Sh1) >= -0
 Coverage(7,MON): + crew(Sh1) + crew(Sh2) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh9) >= 35
 Coverage(7,TUE): + crew(Sh1) + crew(Sh2) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh9) >= 35
 Coverage(7,WED): + crew(Sh1) + crew(Sh2) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh9) >= 39
 Coverage(7,THU): + crew(Sh1) + crew(Sh2) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) >= 35
 Coverage(7,FRI): + crew(Sh1) + crew(Sh2) + crew(Sh4) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) >= 25
 Coverage(7,SAT): + crew(Sh9) >= 11
 Coverage(8,SUN): 0 crew(Sh1) >= -0
 Coverage(8,MON): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 35
 Coverage(8,TUE): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 35
 Coverage(8,WED): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 40
 Coverage(8,THU): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 35
 Coverage(8,FRI): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh5)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 27
 Coverage(8,SAT): 0 crew(Sh1) >= -0
 Coverage(9,SUN): 0 crew(Sh1) >= -0
 Coverage(9,MON): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 34
 Coverage(9,TUE): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 34
 Coverage(9,WED): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 39
 Coverage(9,THU): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 34
 Coverage(9,FRI): + crew(Sh1) + crew(Sh2) + crew(Sh3) + crew(Sh4)
 + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 25
 Coverage(9,SAT): 0 crew(Sh1) >= -0
 Coverage(10,SUN): 0 crew(Sh1) >= -0
 Coverage(10,MON): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 31
 Coverage(10,TUE): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 31
 Coverage(10,WED): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 35
 Coverage(10,THU): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh7) + crew(Sh8) >= 31
 Coverage(10,FRI): + crew(Sh2) + crew(Sh3) + crew(Sh4) + crew(Sh5)
 + crew(Sh7) + crew(Sh8) >= 24
 Coverage(10,SAT): 0 crew(Sh1) >= -0
 Coverage(11,SUN): + crew(Sh9) >= 2
 Coverage(11,MON): + crew(Sh3) + crew(Sh4) + crew(Sh5) + crew(Sh6)
 + crew(Sh8) >= 24
 Coverage(11,TUE): + crew(Sh3) + crew(Sh4) + crew(Sh5) + crew(Sh6)
 + crew(Sh8) >= 24
 Coverage(11,WED): + crew(Sh3) + crew(Sh4) + crew(Sh5) + crew(Sh6)
 + crew(Sh8) >= 27
 Coverage(11,THU): + crew(Sh3) + crew(Sh4) + crew(Sh5) + crew(Sh6)
 + crew(Sh8) >= 24
 Coverage(11,FRI): + crew(Sh3) + crew(Sh4) + crew(Sh5) + crew(Sh6)
 + crew(Sh8) >= 25
 Coverage(11,SAT): 0 crew(Sh1) >= -0
 Coverage(12,SUN): + crew(Sh9) >= 3
 Coverage(12,MON): + crew(Sh4) + crew(Sh5) + crew(Sh6) + crew(Sh7)
 + crew(Sh9) >= 19
 Coverage(12,TUE): + crew(Sh4) + crew(Sh5) + crew(Sh6) + crew(Sh7)
 + crew(Sh9) >= 19
 Coverage(12,WED): + crew(Sh4) + crew(Sh5) + crew(Sh6) + crew(Sh7)
 + crew(Sh9) >= 21
 Coverage(12,THU): + crew(Sh4) + crew(Sh5) + crew(Sh6) + crew(Sh7) >= 19
 Coverage(12,FRI): + crew(Sh4) + crew(Sh5) + crew(Sh6) + crew(Sh7) >= 21
 Coverage(12,SAT): 0 crew(Sh1) >= -0
 Coverage(13,SUN): + crew(Sh9) >= 2
 Coverage(13,MON): + crew(Sh5) + crew(Sh6) + crew(Sh7) + crew(Sh8)
 + crew(Sh9) >= 24
 Coverage(13,TUE): + crew(Sh5) + crew(Sh6) + crew(Sh7) + crew(Sh8)
 + crew(Sh9) >= 24
 Coverage(13,WED): + crew(Sh5) + crew(Sh6) + crew(Sh7) + crew(Sh8)
 + crew(Sh9) >= 27
 Coverage(13,THU): + crew(Sh5) + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 24
 Coverage(13,FRI): + crew(Sh5) + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 13
 Coverage(13,SAT): 0 crew(Sh1) >= -0
 Coverage(14,SUN): + crew(Sh9) >= 2
 Coverage(14,MON): + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 16
 Coverage(14,TUE): + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 16
 Coverage(14,WED): + crew(Sh6) + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 18
 Coverage(14,THU): + crew(Sh6) + crew(Sh7) + crew(Sh8) >= 16
 Coverage(14,FRI): + crew(Sh6) + crew(Sh7) + crew(Sh8) >= -0
 Coverage(14,SAT): 0 crew(Sh1) >= -0
 Coverage(15,SUN): 0 crew(Sh1) >= -0
 Coverage(15,MON): + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 7
 Coverage(15,TUE): + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 7
 Coverage(15,WED): + crew(Sh7) + crew(Sh8) + crew(Sh9) >= 7
 Coverage(15,THU): + crew(Sh7) + crew(Sh8) >= 7
 Coverage(15,FRI): + crew(Sh7) + crew(Sh8) >= -0
 Coverage(15,SAT): 0 crew(Sh1) >= -0
 Coverage(16,SUN): 0 crew(Sh1) >= -0
 Coverage(16,MON): + crew(Sh8) + crew(Sh9) >= 5
 Coverage(16,TUE): + crew(Sh8) + crew(Sh9) >= 5
 Coverage(16,WED): + crew(Sh8) + crew(Sh9) >= 5
 Coverage(16,THU): + crew(Sh8) >= 5
 Coverage(16,FRI): + crew(Sh8) >= -0
 Coverage(16,SAT): 0 crew(Sh1) >= -0

Generals
 crew(Sh1)
 crew(Sh2)
 crew(Sh3)
 crew(Sh4)
 crew(Sh5)
 crew(Sh6)
 crew(Sh7)
 crew(Sh8)
 crew(Sh9)

End
