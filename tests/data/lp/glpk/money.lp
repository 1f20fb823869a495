\* Problem: money *\

Minimize
 obj: 0 x(D,0)

Subject To
 one(D): + x(D,0) + x(D,1) + x(D,2) + x(D,3) + x(D,4) + x(D,5) + x(D,6)
 + x(D,7) + x(D,8) + x(D,9) = 1
 one(E): + x(E,0) + x(E,1) + x(E,2) + x(E,3) + x(E,4) + x(E,5) + x(E,6)
 + x(E,7) + x(E,8) + x(E,9) = 1
 one(M): + x(M,0) + x(M,1) + x(M,2) + x(M,3) + x(M,4) + x(M,5) + x(M,6)
 + x(M,7) + x(M,8) + x(M,9) = 1
 one(N): + x(N,0) + x(N,1) + x(N,2) + x(N,3) + x(N,4) + x(N,5) + x(N,6)
 + x(N,7) + x(N,8) + x(N,9) = 1
 one(O): + x(O,0) + x(O,1) + x(O,2) + x(O,3) + x(O,4) + x(O,5) + x(O,6)
 + x(O,7) + x(O,8) + x(O,9) = 1
 one(R): + x(R,0) + x(R,1) + x(R,2) + x(R,3) + x(R,4) + x(R,5) + x(R,6)
 + x(R,7) + x(R,8) + x(R,9) = 1
 one(S): + x(S,0) + x(S,1) + x(S,2) + x(S,3) + x(S,4) + x(S,5) + x(S,6)
 + x(S,7) + x(S,8) + x(S,9) = 1
 one(Y): + x(Y,0) + x(Y,1) + x(Y,2) + x(Y,3) + x(Y,4) + x(Y,5) + x(Y,6)
 + x(Y,7) + x(Y,8) + x(Y,9) = 1
 alldiff(0): + x(D,0) + x(E,0) + x(M,0) + x(N,0) + x(O,0) + x(R,0)
 + x(S,0) + x(Y,0) <= 1
 alldiff(1): + x(D,1) + x(E,1) + x(M,1) + x(N,1) + x(O,1) + x(R,1)
 + x(S,1) + x(Y,1) <= 1
 alldiff(2): + x(D,2) + x(E,2) + x(M,2) + x(N,2) + x(O,2) + x(R,2)
 + x(S,2) + x(Y,2) <= 1
 alldiff(3): + x(D,3) + x(E,3) + x(M,3) + x(N,3) + x(O,3) + x(R,3)
 + x(S,3) + x(Y,3) <= 1
 alldiff(4): + x(D,4) + x(E,4) + x(M,4) + x(N,4) + x(O,4) + x(R,4)
 + x(S,4) + x(Y,4) <= 1
 alldiff(5): + x(D,5) + x(E,5) + x(M,5) + x(N,5) + x(O,5) + x(R,5)
 + x(S,5) + x(Y,5) <= 1
 alldiff(6): + x(D,6) + x(E,6) + x(M,6) + x(N,6) + x(O,6) + x(R,6)
 + x(S,6) + x(Y,6) <= 1
 alldiff(7): + x(D,7) + x(E,7) + x(M,7) + x(N,7) + x(O,7) + x(R,7)
 + x(S,7) + x(Y,7) <= 1
 alldiff(8): + x(D,8) + x(E,8) + x(M,8) + x(N,8) + x(O,8) + x(R,8)
 + x(S,8) + x(Y,8) <= 1
 alldiff(9): + x(D,9) + x(E,9) + x(M,9) + x(N,9) + x(O,9) + x(R,9)
 + x(S,9) + x(Y,9) <= 1
 map(D): - x(D,1) - 2 x(D,2) - 3 x(D,3) - 4 x(D,4) - 5 x(D,5) - 6 x(D,6)
 - 7 x(D,7) - 8 x(D,8) - 9 x(D,9) + dig(D) = -0
 map(E): - x(E,1) - 2 x(E,2) - 3 x(E,3) - 4 x(E,4) - 5 x(E,5) - 6 x(E,6)
 - 7 x(E,7) - 8 x(E,8) - 9 x(E,9) + dig(E) = -0
 map(M): - x(M,1) - 2 x(M,2) - 3 x(M,3) - 4 x(M,4) - 5 x(M,5) - 6 x(M,6)
 - 7 x(M,7) - 8 x(M,8) - 9 x(M,9) + dig(M) = -0
 map(N): - x(N,1) - 2 x(N,2) - 3 x(N,3) - 4 x(N,4) - 5 x(N,5) - 6 x(N,6)
 - 7 x(N,7) - 8 x(N,8) - 9 x(N,9) + dig(N) = -0
 map(O): - x(O,1) - 2 x(O,2) - 3 x(O,3) - 4 x(O,4) - 5 x(O,5) - 6 x(O,6)
 - 7 x(O,7) - 8 x(O,8) - 9 x(O,9) + dig(O) = -0
 map(R): - x(R,1) - 2 x(R,2) - 3 x(R,3) - 4 x(R,4) - 5 x(R,5) - 6 x(R,6)
 - 7 x(R,7) - 8 x(R,8) - 9 x(R,9) + dig(R) = -0
 map(S): - x(S,1) - 2 x(S,2) - 3 x(S,3) - 4 x(S,4) - 5 x(S,5) - 6 x(S,6)
 - 7 x(S,7) - 8 x(S,8) - 9 x(S,9) + dig(S) = -0
 map(Y): - x(Y,1) - 2 x(Y,2) - 3 x(Y,3) - 4 x(Y,4) - 5 x(Y,5) - 6 x(Y,6)
 - 7 x(Y,7) - 8 x(Y,8) - 9 x(Y,9) + dig(Y) = -0
 sum1: + dig(D) + dig(E) - dig(Y) - 10 carry(1) = -0
 sum2: - dig(E) + dig(N) + dig(R) + carry(1) - 10 carry(2) = -0
 sum3: + dig(E) - dig(N) + dig(O) + carry(2) - 10 carry(3) = -0
 sum4: - 9 dig(M) - dig(O) + dig(S) + carry(3) = -0
 note: + dig(M) >= 1

Bounds
 0 <= x(D,0) <= 1
 0 <= x(D,1) <= 1
 0 <= x(D,2) <= 1
 0 <= x(D,3) <= 1
 0 <= x(D,4) <= 1
 0 <= x(D,5) <= 1
 0 <= x(D,6) <= 1
 0 <= x(D,7) <= 1
 0 <= x(D,8) <= 1
 0 <= x(D,9) <= 1
 0 <= x(E,0) <= 1
 0 <= x(E,1) <= 1
 0 <= x(E,2) <= 1
 0 <= x(E,3) <= 1
 0 <= x(E,4) <= 1
 0 <= x(E,5) <= 1
 0 <= x(E,6) <= 1
 0 <= x(E,7) <= 1
 0 <= x(E,8) <= 1
 0 <= x(E,9) <= 1
 0 <= x(M,0) <= 1
 0 <= x(M,1) <= 1
 0 <= x(M,2) <= 1
 0 <= x(M,3) <= 1
 0 <= x(M,4) <= 1
 0 <= x(M,5) <= 1
 0 <= x(M,6) <= 1
 0 <= x(M,7) <= 1
 0 <= x(M,8) <= 1
 0 <= x(M,9) <= 1
 0 <= x(N,0) <= 1
 0 <= x(N,1) <= 1
 0 <= x(N,2) <= 1
 0 <= x(N,3) <= 1
 0 <= x(N,4) <= 1
 0 <= x(N,5) <= 1
 0 <= x(N,6) <= 1
 0 <= x(N,7) <= 1
 0 <= x(N,8) <= 1
 0 <= x(N,9) <= 1
 0 <= x(O,0) <= 1
 0 <= x(O,1) <= 1
 0 <= x(O,2) <= 1
 0 <= x(O,3) <= 1
 0 <= x(O,4) <= 1
 0 <= x(O,5) <= 1
 0 <= x(O,6) <= 1
 0 <= x(O,7) <= 1
 0 <= x(O,8) <= 1
 0 <= x(O,9) <= 1
 0 <= x(R,0) <= 1
 0 <= x(R,1) <= 1
 0 <= x(R,2) <= 1
 0 <= x(R,3) <= 1
 0 <= x(R,4) <= 1
 0 <= x(R,5) <= 1
 0 <= x(R,6) <= 1
 0 <= x(R,7) <= 1
 0 <= x(R,8) <= 1
 0 <= x(R,9) <= 1
 0 <= x(S,0) <= 1
 0 <= x(S,1) <= 1
 0 <= x(S,2) <= 1
 0 <= x(S,3) <= 1
 0 <= x(S,4) <= 1
 0 <= x(S,5) <= 1
 0 <= x(S,6) <= 1
 0 <= x(S,7) <= 1
 0 <= x(S,8) <= 1
 0 <= x(S,9) <= 1
 0 <= x(Y,0) <= 1
 0 <= x(Y,1) <= 1
 0 <= x(Y,2) <= 1
 0 <= x(Y,3) <= 1
 0 <= x(Y,4) <= 1
 0 <= x(Y,5) <= 1
 0 <= x(Y,6) <= 1
 0 <= x(Y,7) <= 1
 0 <= x(Y,8) <= 1
 0 <= x(Y,9) <= 1
 dig(D) free
 dig(E) free
 dig(M) free
 dig(N) free
 dig(O) free
 dig(R) free
 dig(S) free
 dig(Y) free
 0 <= carry(1) <= 1
 0 <= carry(2) <= 1
 0 <= carry(3) <= 1

Generals
 x(D,0)
 x(D,1)
 x(D,2)
 x(D,3)
 x(D,4)
 x(D,5)
 x(D,6)
 x(D,7)
 x(D,8)
 x(D,9)
 x(E,0)
 x(E,1)
 x(E,2)
 x(E,3)
 x(E,4)
 x(E,5)
 x(E,6)
 x(E,7)
 x(E,8)
 x(E,9)
 x(M,0)
 x(M,1)
 x(M,2)
 x(M,3)
 x(M,4)
 x(M,5)
 x(M,6)
 x(M,7)
 x(M,8)
 x(M,9)
 x(N,0)
 x(N,1)
 x(N,2)
 x(N,3)
 x(N,4)
 x(N,5)
 x(N,6)
 x(N,7)
 x(N,8)
 x(N,9)
 x(O,0)
 x(O,1)
 x(O,2)
 x(O,3)
 x(O,4)
 x(O,5)
 x(O,6)
 x(O,7)
 x(O,8)
 x(O,9)
 x(R,0)
 x(R,1)
 x(R,2)
 x(R,3)
 x(R,4)
 x(R,5)
 x(R,6)
 x(R,7)
 x(R,8)
 x(R,9)
 x(S,0)
 x(S,1)
 x(S,2)
 x(S,3)
 x(S,4)
 x(S,5)
 x(S,6)
 x(S,7)
 x(S,8)
 x(S,9)
 x(Y,0)
 x(Y,1)
 x(Y,2)
 x(Y,3)
 x(Y,4)
 x(Y,5)
 x(Y,6)
 x(Y,7)
 x(Y,8)
 x(Y,9)
 carry(1)
 carry(2)
 carry(3)

End
