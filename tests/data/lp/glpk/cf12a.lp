\* Problem: cf12a *\

Minimize
 error: + u(1) + u(2) + u(3) + u(4) + u(5) + u(6) + u(7) + u(8) + u(9)
 + u(10) + u(11) + u(12) + u(13) + u(14) + u(15) + u(16) + u(17) + u(18)
 + u(19) + v(1) + v(2) + v(3) + v(4) + v(5) + v(6) + v(7) + v(8) + v(9)
 + v(10) + v(11) + v(12) + v(13) + v(14) + v(15) + v(16) + v(17) + v(18)
 + v(19)

Subject To
 equation(1): + a + u(1) - v(1) = 1
 equation(2): + a + 0.5 b + u(2) - v(2) = 0.9
 equation(3): + a + b + u(3) - v(3) = 0.7
 equation(4): + a + 1.5 b + u(4) - v(4) = 1.5
 equation(5): + a + 1.9 b + u(5) - v(5) = 2
 equation(6): + a + 2.5 b + u(6) - v(6) = 2.4
 equation(7): + a + 3 b + u(7) - v(7) = 3.2
 equation(8): + a + 3.5 b + u(8) - v(8) = 2
 equation(9): + a + 4 b + u(9) - v(9) = 2.7
 equation(10): + a + 4.5 b + u(10) - v(10) = 3.5
 equation(11): + a + 5 b + u(11) - v(11) = 1
 equation(12): + a + 5.5 b + u(12) - v(12) = 4
 equation(13): + a + 6 b + u(13) - v(13) = 3.6
 equation(14): + a + 6.6 b + u(14) - v(14) = 2.7
 equation(15): + a + 7 b + u(15) - v(15) = 5.7
 equation(16): + a + 7.6 b + u(16) - v(16) = 4.6
 equation(17): + a + 8.5 b + u(17) - v(17) = 6
 equation(18): + a + 9 b + u(18) - v(18) = 6.8
 equation(19): + a + 10 b + u(19) - v(19) = 7.3

Bounds
 a free
 b free

End
