"""What a solve gives back, whichever solver ran."""

import math
from dataclasses import dataclass, field

NAN = math.nan


@dataclass
class SolveOutcome:
    solution_status: str = "invalid_solution"
    objective: float = NAN
    best_bound: float = NAN
    iterations: int = 0
    processed_nodes: int = 0
    solve_time: float = 0.0
    solver: str = ""
    # Lists of (name, value) in model order; duals and reduced costs only for LP and QP.
    values: list = field(default_factory=list)
    duals: list = None
    reduced_costs: list = None

    def relative_gap(self):
        if math.isnan(self.objective) or math.isnan(self.best_bound):
            return NAN
        if self.objective == self.best_bound:
            return 0.0
        if self.objective == 0.0:
            return math.inf
        return abs(self.objective - self.best_bound) / abs(self.objective)

    def to_json(self):
        return {
            "solution_status": self.solution_status, "objective": self.objective,
            "best_bound": self.best_bound, "iterations": self.iterations,
            "processed_nodes": self.processed_nodes, "solve_time": self.solve_time,
            "solver": self.solver, "values": self.values, "duals": self.duals,
            "reduced_costs": self.reduced_costs,
        }

    @classmethod
    def from_json(cls, data):
        return cls(**{k: data[k] for k in (
            "solution_status", "objective", "best_bound", "iterations", "processed_nodes",
            "solve_time", "solver", "values", "duals", "reduced_costs")})
