# Runs the screenshot tool into a fresh folder and checks that every window gave a PNG in both
# languages (the tool itself fails on a Chinese text in an English window and on an English
# translation in a Chinese one).
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zorvel_screenshots failed: ${rc}")
endif()
foreach(name 01-main-window 02-tray-menu 02-tray-menu-个人中心 02-tray-menu-语言设置 03-floating-tool
        04-settings 04-settings-speech 05-quick-guide 05-quick-guide-more 06-help-1 06-help-2 06-help-3 06-help-3b 06-help-4
        07-first-run-hint 08-first-run-steps 09-first-run-skills 10-about 11-login 12-custom-commands
        13-update-at-start 14-update-reminder 15-recorder 16-notice)
    foreach(language zh en)
        set(png ${OUT}/${language}/${name}.png)
        if(NOT EXISTS ${png})
            message(FATAL_ERROR "missing screenshot ${language}/${name}.png")
        endif()
        file(SIZE ${png} size)
        if(size LESS 500)
            message(FATAL_ERROR "screenshot ${language}/${name}.png is too small (${size} bytes)")
        endif()
    endforeach()
endforeach()
