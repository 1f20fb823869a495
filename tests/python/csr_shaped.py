"""A compressed-sparse-row matrix of our own: the module recognises one by its attributes, so
tests need no scipy."""
import numpy as np


class CsrShaped:
    def __init__(self, shape, data, indices, indptr, format="csr"):
        self.format = format
        self._shape = shape
        self.data = data
        self.indices = indices
        self.indptr = indptr


def csr_of(dense, index_dtype=np.int32, data_dtype=np.float64):
    """The CSR form of a dense matrix: its non-zero entries row by row."""
    dense = np.asarray(dense)
    rows, columns = np.nonzero(dense)
    indptr = np.searchsorted(rows, np.arange(dense.shape[0] + 1))
    return CsrShaped(dense.shape, dense[rows, columns].astype(data_dtype), columns.astype(index_dtype),
                     indptr.astype(index_dtype))
