# Tests of the files layer link it here.
