# Velorium Solution File Version 1.1

# Objective Value  -3.25
# Dual Bound       -3.5
# Gap  7.692308 %


# Dual Solution
row 1 0.10000000000000001
r2 -1.0000000000000001e-300

# Reduced Costs
x 0.33333333333333331
# Columns  3
x 123456789.12345679
y z -0
w 4.9406564584124654e-324
