#!/usr/bin/env bash
# Makes the clips that the scene detector's transition tests read, into the folder given as the only
# argument: shots of real photographs (the Debian wallpaper package in scripts/deps; rich synthetic
# pictures when it is missing, or VK_PHOTO_DIR names a folder without them) filmed with a moving,
# zooming camera, film grain and flicker, 320x180 at 25 fps. Each text file ends with "source
# photographs" or "source synthetic". Writes a .stamp file last; files are only made when it is missing.
#
#   transitions.mp4 + transitions.txt  shots joined by hard cuts and by gradual transitions (ffmpeg
#       xfade: cross-fades, pixel dissolves, fades through black and white, and a fade out to black
#       held a moment before the next shot fades in). One line per join: "cut FRAME" (first frame
#       of the new shot) or "KIND FIRST LAST" (the blended frames; KIND is dissolve or fade).
#   oneshot.mp4 + oneshot.txt  one continuous shot with everything that must not start a scene: a
#       fast pan, a zoom, a slow lighting change, a slowly moving subject, one- and two-frame flashes,
#       a fade to a title card held for 15 frames and back, a dip to black and back. The text file
#       gives its frame count.
set -euo pipefail

out=${1:?usage: make_transition_media.sh OUTDIR}
mkdir -p "$out"
if [ -f "$out/.stamp" ]; then
    exit 0
fi
cd "$out"

ff() { ffmpeg -hide_banner -loglevel error -nostdin -y "$@"; }

rate=25
size=320x180
photos=${VK_PHOTO_DIR:-/usr/share/backgrounds}

# Five stills of 1920x1080 to film. From the photographs: regions of different content, so that two
# shots of one photograph are still different pictures; without them, detailed synthetic pictures.
source=photographs
still() {
    local name=$1 photo=$2 crop=$3 synthetic=$4
    if [ -f "$photos/$photo" ]; then
        ff -i "$photos/$photo" -vf "crop=$crop,scale=1920:1080,setsar=1" -frames:v 1 "$name.png"
    else
        ff -f lavfi -i "$synthetic" -vf "scale=1920:1080,setsar=1" -frames:v 1 "$name.png"
        source=synthetic
    fi
}
still bark Kleiber_by_Lukas_Baubkus.jpg "iw*0.55:ih*0.55:0:ih*0.2" \
    "mandelbrot=s=640x360:start_scale=0.5,noise=alls=20"
still garden Kleiber_by_Lukas_Baubkus.jpg "iw*0.5:ih*0.5:iw*0.45:ih*0.1" \
    "cellauto=s=640x360:rule=30:scroll=0,boxblur=3,hue=h=120:s=3"
still sea Infinite-Sea_by_Aury88.jpg "iw:ih*0.5625:0:ih*0.3" "testsrc2=s=640x360"
still paint Painting-Colors_by__herobrine7gamer.jpg "iw*0.8:ih*0.6:iw*0.1:ih*0.2" \
    "smptehdbars=s=640x360,rotate=0.4:fillcolor=0x804020"
still fossa Fossa_by_Jasper_Roks.jpg "iw:ih:0:0" "gradients=s=640x360:c0=0x602040:c1=0xd08050:n=5:seed=3"

# Grain that changes every frame, and a slight flicker of the exposure.
grain="noise=alls=8:allf=t"
flicker="eq=brightness='0.02*sin(n*1.9)':eval=frame"

# shot NAME STILL FRAMES ZOOM CENTRE_X CENTRE_Y [FILTERS]: a camera on the still; expressions of the
# frame number `on` give the zoom (2 shows half the still's width) and the centre of the view.
shot() {
    local name=$1 still=$2 frames=$3 zoom=$4 cx=$5 cy=$6 filters=${7:-null}
    ff -loop 1 -framerate $rate -i "$still.png" -vf \
        "zoompan=z='$zoom':x='($cx)-iw/zoom/2':y='($cy)-ih/zoom/2':d=1:s=$size:fps=$rate,$filters,format=yuv420p" \
        -frames:v "$frames" -c:v ffv1 "$name.mkv"
}

shot a bark 60 "2+0.004*on" "800+2*on" 560 "$grain"
shot b sea 60 2.2 "700+3*on" "520+on" "$grain,$flicker"
shot c paint 60 "1.8" 900 "450+2*on" "$grain"
shot d garden 60 "2.5-0.005*on" 1000 "540-on" "$grain"
shot e fossa 60 2 "1100-3*on" 540 "$flicker"
shot f sea 60 "2.5+0.01*on" 600 400 "$grain"
shot g paint 90 "2.2+0.004*on" "800+2*on" 600 "$grain"
shot h bark 90 2.4 "900-2*on" "500+on" "$grain,$flicker"
shot i garden 60 2 "1000+2*on" 500 "$grain"
ff -f lavfi -i "color=c=black:s=$size:r=$rate:d=1,format=yuv420p" -frames:v 24 -c:v ffv1 black.mkv
shot j fossa 60 "2.2-0.004*on" 900 500 "$grain"

# Joins: "cut" or an xfade transition and its length in frames; the truth file names cross-fades and
# pixel dissolves "dissolve", fades through black or white "fade". The dip h -> black -> i is one
# fade out and in, written as one line.
shots=(a b c d e f g h black i j)
joins=("fade 15" "cut" "dissolve 20" "fadeblack 12" "fadewhite 10" "fade 6" "fade 40" "fade 10" "fade 10" "cut")
inputs=()
for s in "${shots[@]}"; do
    inputs+=(-i "$s.mkv")
done
lengths=(60 60 60 60 60 60 90 90 24 60 60)
retime="settb=1/$rate,setpts=N/$rate/TB"
graph=""
for ((k = 0; k < ${#shots[@]}; ++k)); do
    graph+="[$k]fps=$rate,$retime[s$k];"
done
graph+="[s0]null[v0]"
frame=${lengths[0]}
label=v0
: > transitions.txt
dipFirst=0
for ((k = 0; k < ${#joins[@]}; ++k)); do
    read -r kind length <<< "${joins[$k]}"
    next=$((k + 1))
    if [ "$kind" = cut ]; then
        graph+=";[$label][s$next]concat=n=2:v=1:a=0,$retime[v$next]"
        echo "cut $frame" >> transitions.txt
        frame=$((frame + lengths[next]))
    else
        offset=$((frame - length))
        graph+=";[$label][s$next]xfade=transition=$kind:duration=$((length * 1000 / rate))ms:offset=$((offset * 1000 / rate))ms,$retime[v$next]"
        # The frame at the offset is still the old picture alone; the blend follows it.
        first=$((offset + 1))
        last=$((offset + length - 1))
        case "${shots[$next]}:${shots[$k]}" in
        black:*) dipFirst=$first ;;
        *:black) echo "fade $dipFirst $last" >> transitions.txt ;;
        *)
            case $kind in
            fade | dissolve) echo "dissolve $first $last" >> transitions.txt ;;
            *) echo "fade $first $last" >> transitions.txt ;;
            esac
            ;;
        esac
        frame=$((frame + lengths[next] - length))
    fi
    label=v$next
done
ff "${inputs[@]}" -filter_complex "$graph" -map "[$label]" -r $rate \
    -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p transitions.mp4
count=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames -of csv=p=0 transitions.mp4)
if [ "$count" -ne "$frame" ]; then
    echo "transitions.mp4 has $count frames, its joins assume $frame" >&2
    exit 1
fi
echo "frames $frame" >> transitions.txt
echo "source $source" >> transitions.txt

# One shot of 300 frames: drift (0-39), fast pan (40-74, 8 px a frame), zoom in (75-114), then a
# slow drift under a slow darkening (115-165), flashes at 170 and 185-186, a title card faded in
# over 200-207, held to 222 and faded out over 223-230, and a dip to black over 245-265. A small
# picture moves slowly across it all the time.
zoom="if(lt(on,75),2,if(lt(on,115),2+1.2*(on-75)/40,3.2))"
cx="if(lt(on,40),600+on,if(lt(on,75),640+24*(on-40),1480-0.5*(on-75)))"
cy="540+20*sin(on/30)"
# The dip's gain: contrast g with brightness -(1-g)/2 scales the luma by g.
dip="1-min(max((n-244)/8\,0)\,1)*min(max((266-n)/8\,0)\,1)"
ff -loop 1 -framerate $rate -i bark.png -loop 1 -framerate $rate -i paint.png -filter_complex \
    "[0]zoompan=z='$zoom':x='($cx)-iw/zoom/2':y='($cy)-ih/zoom/2':d=1:s=$size:fps=$rate,format=yuv420p[cam];
     [1]scale=48:48,format=yuv420p[subject];
     [cam][subject]overlay=x='40+0.6*n':y='100-0.2*n',
       eq=brightness='-0.25*min(max((n-115)/50\,0)\,1)':eval=frame,$grain,
       drawbox=c=white:t=fill:enable='eq(n\,170)+between(n\,185\,186)',format=yuv420p[shot];
     color=c=0x101010:s=$size:r=$rate,drawbox=x=60:y=70:w=200:h=14:c=white:t=fill,
       drawbox=x=90:y=96:w=140:h=8:c=0xc0c0c0:t=fill,format=yuv420p[card];
     [shot][card]blend=all_expr='A+(B-A)*min(max((N-199)/8\,0)\,1)*min(max((231-N)/8\,0)\,1)':enable='between(n\,199\,231)'[titled];
     [titled]eq=contrast='$dip':brightness='-0.5*(1-$dip)':saturation='$dip':eval=frame" \
    -frames:v 300 -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p oneshot.mp4
echo "frames 300" > oneshot.txt
echo "source $source" >> oneshot.txt

rm -f ./*.mkv ./*.png
touch .stamp
