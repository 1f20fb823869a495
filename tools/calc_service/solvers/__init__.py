"""Solving a Model: GLPK for LP and MIP, cvxopt for convex quadratic objectives."""
