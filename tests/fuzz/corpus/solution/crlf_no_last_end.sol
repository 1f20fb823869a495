# Dual Solution
r 1.5
# Columns  2
my x 2
y -1e-3