# cmake -DSOURCE_DIR=... -DDATA_DIR=... -P InstallSamples.cmake
# Puts the sample data files into the application's Data folder. A file already there is the
# pilot's (edited, or a downloaded database) and is never replaced.
file(MAKE_DIRECTORY ${DATA_DIR})
foreach(name MyLumacor.dat SearchPatterns.dat StationInfo.dat)
    if(NOT EXISTS ${DATA_DIR}/${name})
        file(COPY ${SOURCE_DIR}/${name} DESTINATION ${DATA_DIR})
    endif()
endforeach()
