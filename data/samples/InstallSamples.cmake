# cmake -DSOURCE_DIR=... -DDATA_DIR=... [-DGAME=...] [-DSAMPLE_PAGES=ON] -P InstallSamples.cmake
# Puts the sample data files into the application's Data folder. A file already there is the
# pilot's (edited, or a downloaded database) and is never replaced.
file(MAKE_DIRECTORY ${DATA_DIR})
foreach(name MyLumacor.dat SearchPatterns.dat StationInfo.dat)
    if(NOT EXISTS ${DATA_DIR}/${name})
        file(COPY ${SOURCE_DIR}/${name} DESTINATION ${DATA_DIR})
    endif()
endforeach()

# A fresh application folder starts with all three lists fed by the samples, so the console has
# content at the first run, and, where GAME names the stand-in game, starts it with TrelkPro and
# ends with it. An existing settings file is the pilot's and is left alone.
get_filename_component(APP_DIR ${DATA_DIR} DIRECTORY)
if(NOT EXISTS ${APP_DIR}/trelkpro.ini)
    set(setup "")
    if(GAME)
        set(setup "[Setup]\nAutoRunVL=1\nAutoExitTRL=1\nAutoStart=${GAME}\n")
    endif()
    file(WRITE ${APP_DIR}/trelkpro.ini
        "${setup}[DataList]\nRoidFiles=MyLumacor.dat;\nArtiFiles=SearchPatterns.dat;\nDBFiles=StationInfo.dat;\n")
endif()

# With SAMPLE_PAGES (the build's folder, where ./trelk run serves them), the Web tab's list
# starts with the sample services' pages, so the "Subspace Network Interface" mode has pages to
# show; an installed program has no such server and starts with an empty list. The pilot's list
# stays.
if(SAMPLE_PAGES AND NOT EXISTS ${APP_DIR}/TRLP_URL.dat)
    set(pages "")
    foreach(page "Subspace relay;index" "Block chart;chart" "Wide chart;wide"
            "Long bulletin;long")
        list(GET page 0 name)
        list(GET page 1 file)
        string(APPEND pages "${name}\r\nhttp://127.0.0.1:47821/web/${file}.html\r\n")
    endforeach()
    file(WRITE ${APP_DIR}/TRLP_URL.dat "${pages}")
endif()
