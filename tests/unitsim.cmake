# The unit simulator's pure parts: replies, pad lamps, command line.
if(TARGET tarnunitsim)
    tarn_add_test(tst_unitsim SOURCES tst_unitsim.cpp LIBS tarnunitsim)
endif()
